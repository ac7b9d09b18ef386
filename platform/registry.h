// The component registry: which library serves each class.
//
// A plain text file per user, one entry a line:
//   class {CLSID} progid=Ostrel.CXmlReader threading=Apartment typelib={LIBID} library=/path/libOstrel.so
//   typelib {LIBID} name=Ostrel version=1.0 library=/path/libOstrel.so
// Its place is $COM_REGISTRY, else $XDG_CONFIG_HOME/com/registry, else
// ~/.config/com/registry. It is rewritten whole through a temporary file and a
// rename, so a reader never sees half a file, and the entries of other
// libraries are kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/com.h"

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

std::string RegistryPath();

class Registry {
 public:
  // A missing file is an empty registry; lines that cannot be read are kept
  // as they are when the registry is saved again.
  static Registry Load(const std::string& path);
  // Raises a file error (70, 75, 76, ...) when the file cannot be written.
  void Save(const std::string& path) const;

  void Put(const ClassEntry& entry);  // replaces an entry of the same class
  void Put(const TypeLibraryEntry& entry);
  // Removes every class and type library served by LIBRARY.
  void RemoveLibrary(const std::string& library);

  std::optional<ClassEntry> FindClass(const CLSID& clsid) const;
  std::optional<ClassEntry> FindProgId(std::string_view progId) const;
  const std::vector<ClassEntry>& classes() const { return classes_; }
  const std::vector<TypeLibraryEntry>& typeLibraries() const { return typeLibraries_; }

 private:
  std::vector<ClassEntry> classes_;
  std::vector<TypeLibraryEntry> typeLibraries_;
  std::vector<std::string> unreadLines_;
};

}  // namespace ostrel::com
