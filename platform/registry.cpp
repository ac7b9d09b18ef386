#include "platform/registry.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/unit_search.h"
#include "platform/runtime_error.h"
#include "platform/unicode.h"

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

[[noreturn]] void RaiseForErrno(int error) {
  switch (error) {
    case ENOENT: Raise(errnum::kPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS: Raise(errnum::kPermissionDenied);
    case ENOSPC: Raise(errnum::kDiskFull);
    default: Raise(errnum::kPathFileAccess);
  }
}

}  // namespace

std::string RegistryPath() {
  if (const char* path = std::getenv("COM_REGISTRY"); path && *path) return path;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    return std::string(config) + "/com/registry";
  }
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/com/registry";
}

Registry Registry::Load(const std::string& path) {
  Registry registry;
  std::ifstream file(path);
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

void Registry::Save(const std::string& path) const {
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

  const std::filesystem::path target(path);
  std::error_code ignored;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ignored);
  const std::string temporary = path + ".tmp" + std::to_string(getpid());
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) RaiseForErrno(errno);
    file << text.str();
    file.flush();
    if (!file) {
      std::remove(temporary.c_str());
      Raise(errnum::kDeviceIo);
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    RaiseForErrno(error);
  }
}

void Registry::Put(const ClassEntry& entry) {
  for (auto& existing : classes_) {
    if (existing.clsid == entry.clsid) {
      existing = entry;
      return;
    }
  }
  classes_.push_back(entry);
}

void Registry::Put(const TypeLibraryEntry& entry) {
  for (auto& existing : typeLibraries_) {
    if (existing.id == entry.id) {
      existing = entry;
      return;
    }
  }
  typeLibraries_.push_back(entry);
}

void Registry::RemoveLibrary(const std::string& library) {
  std::erase_if(classes_, [&](const ClassEntry& entry) { return entry.library == library; });
  std::erase_if(typeLibraries_, [&](const TypeLibraryEntry& entry) { return entry.library == library; });
}

std::optional<ClassEntry> Registry::FindClass(const CLSID& clsid) const {
  for (const auto& entry : classes_) {
    if (entry.clsid == clsid) return entry;
  }
  return std::nullopt;
}

std::optional<ClassEntry> Registry::FindProgId(std::string_view progId) const {
  const std::u16string wanted = FromUtf8(progId);
  for (const auto& entry : classes_) {
    if (KeysEqual(FromUtf8(entry.progId), wanted)) return entry;
  }
  return std::nullopt;
}

}  // namespace ostrel::com
