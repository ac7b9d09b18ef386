// One registration file of the component registry: which library serves
// each class. Plain text, one entry a line:
//   typelib {LIBID} name=Ostrel version=1.0 library=/path/libOstrel.so.1
//   class {CLSID} progid=Ostrel.CXmlReader threading=Apartment typelib={LIBID} library=/path/libOstrel.so.1
// A library path that is not absolute is taken from the folder that holds
// the file, so a folder of programs, libraries and registrations can move.
// Where the files live and in which order they are consulted is
// registry_search.h; how a registration is written, registration_store.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <ostrel/com/com.h>

namespace ostrel::com {

struct ClassEntry {
  CLSID clsid;
  std::string progId;
  std::string threadingModel;
  GUID typeLibrary;
  std::string library;
};

struct TypeLibraryEntry {
  GUID id;
  std::string name;
  uint16_t major;
  uint16_t minor;
  std::string library;
};

class Registry {
 public:
  // A missing file is an empty registry; a file that exists but cannot be
  // read raises a file error naming it (70, 75, ...). Lines that cannot be
  // read are kept as they are when the registry is saved again.
  static Registry Load(const std::string& path);
  // Replaces the file whole (replace_file.h); raises 61, 70, ... on failure.
  void Save(const std::string& path) const;
  std::string Text() const;

  void Put(const ClassEntry& entry);  // replaces an entry of the same class
  void Put(const TypeLibraryEntry& entry);
  // Removes the type library, its classes and any other entry of those
  // classes. Tells whether there was anything to remove.
  bool RemoveTypeLibrary(const GUID& typeLibrary, const std::vector<CLSID>& classes);

  // Found entries carry their library path as it is to be opened.
  std::optional<ClassEntry> FindClass(const CLSID& clsid) const;
  std::optional<ClassEntry> FindProgId(std::string_view progId) const;
  // The entries as they stand in the file.
  const std::vector<ClassEntry>& classes() const { return classes_; }
  const std::vector<TypeLibraryEntry>& typeLibraries() const { return typeLibraries_; }

 private:
  ClassEntry Resolved(ClassEntry entry) const;

  std::string folder_;  // of the file loaded; where relative library paths start
  std::vector<ClassEntry> classes_;
  std::vector<TypeLibraryEntry> typeLibraries_;
  std::vector<std::string> unreadLines_;
};

}  // namespace ostrel::com
