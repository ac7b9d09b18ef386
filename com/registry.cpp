#include "com/registry.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <ostrel/com/runtime_error.h>

#include "runtime/replace_file.h"
#include <ostrel/com/keys.h>
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

// Each entry is one line: a control character in a field would end it early
// or smuggle in another.
void CheckField(std::string_view field, int32_t number, std::u16string_view what) {
  const auto control = std::ranges::find_if(field, [](unsigned char c) { return c < 0x20; });
  if (control == field.end()) return;
  char code[8];
  std::snprintf(code, sizeof code, "%02X", static_cast<unsigned char>(*control));
  Raise(number, std::u16string(what) + u"に制御文字 (U+00" + FromUtf8(code) + u") があります: " +
                    FromUtf8(std::string(field.substr(0, static_cast<size_t>(control - field.begin())))) + u"…");
}

void CheckEntry(const TypeLibraryEntry& entry) {
  CheckField(entry.name, errnum::kInvalidArgument, u"タイプ ライブラリの名前");
  CheckField(entry.library, errnum::kBadFileName, u"ライブラリのパス");
}

void CheckEntry(const ClassEntry& entry) {
  CheckField(entry.progId, errnum::kInvalidArgument, u"ProgID");
  CheckField(entry.threadingModel, errnum::kInvalidArgument, u"スレッド モデル");
  CheckField(entry.library, errnum::kBadFileName, u"ライブラリのパス");
}

std::string LineOf(const TypeLibraryEntry& entry) {
  return "typelib " + GuidToString(entry.id) + " name=" + entry.name + " version=" + std::to_string(entry.major) +
         '.' + std::to_string(entry.minor) + " library=" + entry.library;
}

std::string LineOf(const ClassEntry& entry) {
  return "class " + GuidToString(entry.clsid) + " progid=" + entry.progId + " threading=" + entry.threadingModel +
         " typelib=" + GuidToString(entry.typeLibrary) + " library=" + entry.library;
}

std::string LineOf(const std::string& line) { return line; }

bool IsComment(std::string_view line) {
  return line.starts_with('#') || line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

Registry Registry::Load(const std::string& path) {
  Registry registry;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  registry.folder_ = folder.empty() ? "." : folder.string();
  // Split by hand: a string stream would set up the C++ locale, which costs
  // a process that only reads a file more than the whole registry does.
  const std::string text = ReadFileIfPresent(path, kFileLimit).value_or("");
  std::string_view rest = text;
  for (size_t number = 1; !rest.empty(); ++number) {
    const size_t end = std::min(rest.find('\n'), rest.size());
    std::string line(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (line.ends_with('\r')) line.pop_back();
    ClassEntry entry;
    TypeLibraryEntry typeLibrary;
    if (line.starts_with("class ") && ParseClass(line, &entry)) {
      registry.lines_.emplace_back(entry);
    } else if (line.starts_with("typelib ") && ParseTypeLibrary(line, &typeLibrary)) {
      registry.lines_.emplace_back(typeLibrary);
    } else {
      if (!IsComment(line) && registry.foreignLine_ == 0) registry.foreignLine_ = number;
      registry.lines_.emplace_back(line);
    }
  }
  return registry;
}

std::string Registry::Text() const {
  std::string text;
  for (const Line& line : lines_) {
    text += std::visit([](const auto& content) { return LineOf(content); }, line);
    text += '\n';
  }
  return text;
}

void Registry::Save(const std::string& path) const { ReplaceFile(path, Text()); }

template <class Entry, class Same>
void Registry::PutLine(const Entry& entry, Same same) {
  CheckEntry(entry);
  for (Line& line : lines_) {
    if (const Entry* existing = std::get_if<Entry>(&line); existing && same(*existing)) {
      line = entry;
      return;
    }
  }
  lines_.emplace_back(entry);
}

void Registry::Put(const ClassEntry& entry) {
  PutLine(entry, [&](const ClassEntry& existing) { return existing.clsid == entry.clsid; });
}

void Registry::Put(const TypeLibraryEntry& entry) {
  PutLine(entry, [&](const TypeLibraryEntry& existing) { return existing.id == entry.id; });
}

bool Registry::RemoveTypeLibrary(const GUID& typeLibrary, const std::vector<CLSID>& classes) {
  const auto removed = [&](const Line& line) {
    if (const auto* entry = std::get_if<TypeLibraryEntry>(&line)) return entry->id == typeLibrary;
    if (const auto* entry = std::get_if<ClassEntry>(&line)) {
      return entry->typeLibrary == typeLibrary || std::ranges::find(classes, entry->clsid) != classes.end();
    }
    return false;
  };
  return std::erase_if(lines_, removed) > 0;
}

ClassEntry Registry::Resolved(ClassEntry entry) const {
  const std::filesystem::path library(entry.library);
  if (library.is_relative()) entry.library = (std::filesystem::path(folder_) / library).string();
  return entry;
}

std::optional<ClassEntry> Registry::FindClass(const CLSID& clsid) const {
  for (const Line& line : lines_) {
    if (const auto* entry = std::get_if<ClassEntry>(&line); entry && entry->clsid == clsid) return Resolved(*entry);
  }
  return std::nullopt;
}

std::optional<ClassEntry> Registry::FindProgId(std::string_view progId) const {
  const std::u16string wanted = FromUtf8(progId);
  for (const Line& line : lines_) {
    if (const auto* entry = std::get_if<ClassEntry>(&line); entry && KeysEqual(FromUtf8(entry->progId), wanted)) {
      return Resolved(*entry);
    }
  }
  return std::nullopt;
}

}  // namespace ostrel::com
