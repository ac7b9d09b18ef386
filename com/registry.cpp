#include "com/registry.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "runtime/replace_file.h"
#include "runtime/unit_search.h"
#include "runtime/unicode.h"

namespace ostrel::com {
namespace {

// "key=value" fields separated by blanks; the library comes last and takes the
// rest of the line, so a path may hold blanks.
std::string Field(const std::string& line, std::string_view key) {
  const std::string marker = " " + std::string(key) + "=";
  const size_t at = line.find(marker);
  if (at == std::string::npos) return {};
  const size_t start = at + marker.size();
  if (key == "library") return line.substr(start);
  const size_t end = line.find(' ', start);
  return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool ParseClass(const std::string& line, ClassEntry* entry) {
  GUID typeLibrary{};
  if (line.size() < 44 || !GuidFromString(std::string_view(line).substr(6, 38), &entry->clsid)) return false;
  GuidFromString(Field(line, "typelib"), &typeLibrary);
  entry->typeLibrary = typeLibrary;
  entry->progId = Field(line, "progid");
  entry->threadingModel = Field(line, "threading");
  entry->library = Field(line, "library");
  return !entry->library.empty();
}

bool ParseTypeLibrary(const std::string& line, TypeLibraryEntry* entry) {
  if (line.size() < 46 || !GuidFromString(std::string_view(line).substr(8, 38), &entry->id)) return false;
  unsigned major = 0, minor = 0;
  if (std::sscanf(Field(line, "version").c_str(), "%u.%u", &major, &minor) != 2) return false;
  entry->name = Field(line, "name");
  entry->major = static_cast<uint16_t>(major);
  entry->minor = static_cast<uint16_t>(minor);
  entry->library = Field(line, "library");
  return true;
}

}  // namespace

Registry Registry::Load(const std::string& path) {
  Registry registry;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  registry.folder_ = folder.empty() ? "." : folder.string();
  std::istringstream file(ReadFileIfPresent(path).value_or(""));
  std::string line;
  while (std::getline(file, line)) {
    ClassEntry entry;
    TypeLibraryEntry typeLibrary;
    if (line.starts_with("class ") && ParseClass(line, &entry)) registry.classes_.push_back(entry);
    else if (line.starts_with("typelib ") && ParseTypeLibrary(line, &typeLibrary)) registry.typeLibraries_.push_back(typeLibrary);
    else if (!line.empty()) registry.unreadLines_.push_back(line);
  }
  return registry;
}

std::string Registry::Text() const {
  std::ostringstream text;
  for (const auto& entry : typeLibraries_) {
    text << "typelib " << GuidToString(entry.id) << " name=" << entry.name << " version=" << entry.major << '.'
         << entry.minor << " library=" << entry.library << '\n';
  }
  for (const auto& entry : classes_) {
    text << "class " << GuidToString(entry.clsid) << " progid=" << entry.progId
         << " threading=" << entry.threadingModel << " typelib=" << GuidToString(entry.typeLibrary)
         << " library=" << entry.library << '\n';
  }
  for (const auto& line : unreadLines_) text << line << '\n';
  return text.str();
}

void Registry::Save(const std::string& path) const { ReplaceFile(path, Text()); }

namespace {

// Replaces the entry of ENTRIES that has ENTRY's identifier, or adds ENTRY.
template <class Entry, class Id>
void PutEntry(std::vector<Entry>& entries, const Entry& entry, Id Entry::*id) {
  const auto existing = std::ranges::find(entries, entry.*id, id);
  if (existing == entries.end()) entries.push_back(entry);
  else *existing = entry;
}

}  // namespace

void Registry::Put(const ClassEntry& entry) { PutEntry(classes_, entry, &ClassEntry::clsid); }

void Registry::Put(const TypeLibraryEntry& entry) { PutEntry(typeLibraries_, entry, &TypeLibraryEntry::id); }

bool Registry::RemoveTypeLibrary(const GUID& typeLibrary, const std::vector<CLSID>& classes) {
  const size_t removed =
      std::erase_if(typeLibraries_, [&](const TypeLibraryEntry& entry) { return entry.id == typeLibrary; }) +
      std::erase_if(classes_, [&](const ClassEntry& entry) {
        return entry.typeLibrary == typeLibrary || std::ranges::find(classes, entry.clsid) != classes.end();
      });
  return removed > 0;
}

ClassEntry Registry::Resolved(ClassEntry entry) const {
  const std::filesystem::path library(entry.library);
  if (library.is_relative()) entry.library = (std::filesystem::path(folder_) / library).string();
  return entry;
}

std::optional<ClassEntry> Registry::FindClass(const CLSID& clsid) const {
  for (const auto& entry : classes_) {
    if (entry.clsid == clsid) return Resolved(entry);
  }
  return std::nullopt;
}

std::optional<ClassEntry> Registry::FindProgId(std::string_view progId) const {
  const std::u16string wanted = FromUtf8(progId);
  for (const auto& entry : classes_) {
    if (KeysEqual(FromUtf8(entry.progId), wanted)) return Resolved(entry);
  }
  return std::nullopt;
}

}  // namespace ostrel::com
