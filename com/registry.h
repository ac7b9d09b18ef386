// One registration file of the component registry: which library serves
// each class. Plain text, one entry a line:
//   typelib {LIBID} name=Ostrel version=1.0 library=/path/libOstrel.so.1
//   class {CLSID} progid=Ostrel.CXmlReader threading=Apartment typelib={LIBID} library=/path/libOstrel.so.1
// Blank lines and lines starting with '#' are comments, kept where they stand
// when the file is rewritten; a line may end in CR LF. A library path that is
// not absolute is taken from the folder that holds the file, so a folder of
// programs, libraries and registrations can move. No field may hold a
// control character (U+0000 to U+001F): each entry is one line. A file is
// read up to kFileLimit bytes.
// Where the files live and in which order they are consulted is
// registry_search.h; how a registration is written, registration_store.h.
#pragma once

#include <cstdint>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>
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
  static constexpr size_t kFileLimit = 1 << 20;

  // A missing file is an empty registry; a file that exists but cannot be
  // read, is not a regular file or is larger than kFileLimit raises a file
  // error naming it (70, 75, ...). Lines that cannot be read are kept as
  // they are when the registry is saved again (see foreignLine()).
  static Registry Load(const std::string& path);
  // Replaces the file whole (replace_file.h); raises 61, 70, ... on failure.
  void Save(const std::string& path) const;
  std::string Text() const;

  // Replaces an entry of the same class or type library in its place, else
  // adds one at the end. Raises 52 for a library path, 5 for another field,
  // holding a control character.
  void Put(const ClassEntry& entry);
  void Put(const TypeLibraryEntry& entry);
  // Removes the type library, its classes and any other entry of those
  // classes. Tells whether there was anything to remove.
  bool RemoveTypeLibrary(const GUID& typeLibrary, const std::vector<CLSID>& classes);

  // Found entries carry their library path as it is to be opened.
  std::optional<ClassEntry> FindClass(const CLSID& clsid) const;
  std::optional<ClassEntry> FindProgId(std::string_view progId) const;
  // The entries as they stand in the file.
  std::vector<ClassEntry> classes() const { return EntriesOf<ClassEntry>(); }
  std::vector<TypeLibraryEntry> typeLibraries() const { return EntriesOf<TypeLibraryEntry>(); }
  // The number (from 1) of the first line that is neither an entry, a
  // comment nor blank; 0 when there is none. A file with such a line is not
  // a registry, and is not rewritten as one.
  size_t foreignLine() const { return foreignLine_; }

 private:
  // A comment, a line that could not be read, or an entry.
  using Line = std::variant<std::string, TypeLibraryEntry, ClassEntry>;

  template <class Entry>
  std::vector<Entry> EntriesOf() const {
    std::vector<Entry> entries;
    for (const Line& line : lines_) {
      if (const Entry* entry = std::get_if<Entry>(&line)) entries.push_back(*entry);
    }
    return entries;
  }
  template <class Entry, class Same>
  void PutLine(const Entry& entry, Same same);
  ClassEntry Resolved(ClassEntry entry) const;

  std::string folder_;  // of the file loaded; where relative library paths start
  std::vector<Line> lines_;
  size_t foreignLine_ = 0;
};

}  // namespace ostrel::com
