#include "com/registration_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include <ostrel/com/runtime_error.h>
#include "runtime/file_error.h"
#include "runtime/replace_file.h"
#include "runtime/unicode.h"

namespace ostrel::com {
namespace {

bool IsSingleFile(const std::string& registry) {
  std::error_code error;
  return std::filesystem::exists(registry, error) && !std::filesystem::is_directory(registry, error);
}

// The folder where the new FILE is written, so where writers must meet.
std::string WrittenFolderOf(const std::string& file) {
  std::error_code error;
  const std::filesystem::path written = std::filesystem::absolute(ReplacedFile(file), error);
  return (error ? std::filesystem::path(file) : written).parent_path().string();
}

// Loads FILE, refusing one that holds lines of something else than a
// registry: rewriting it as one would lose them.
Registry LoadRegistryFile(const std::string& file) {
  Registry registry = Registry::Load(file);
  if (registry.foreignLine() != 0) {
    Raise(errnum::kPathFileAccess, u"レジストリのファイルではありません (" +
                                       FromUtf8(std::to_string(registry.foreignLine())) + u" 行目): " + FromUtf8(file));
  }
  return registry;
}

// Holds an exclusive lock on a folder while a single-file registry in it is
// read, changed and replaced, so two rewrites cannot lose each other's entries.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) RaiseFileError(errno, FileUse::kOutput, folder);
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        const int error = errno;
        ::close(fd_);
        RaiseFileError(error, FileUse::kOutput, folder);
      }
    }
  }
  ~FolderLock() { ::close(fd_); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

template <class Change>
bool ChangeSingleFile(const std::string& file, Change change) {
  const std::string folder = WrittenFolderOf(file);
  LoadRegistryFile(file);  // one that cannot be read fails first, naming itself
  CheckFolderWritable(folder);
  FolderLock lock(folder);
  Registry registry = LoadRegistryFile(file);
  if (!change(registry)) return false;
  registry.Save(file);
  return true;
}

void CreateFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) RaiseFileError(error.value(), FileUse::kOutput, folder);
  CheckFolderWritable(folder);
}

std::vector<CLSID> ClassesOf(const Registry& entries) {
  std::vector<CLSID> classes;
  for (const auto& entry : entries.classes()) classes.push_back(entry.clsid);
  return classes;
}

}  // namespace

std::string RegistrationFileName(const GUID& typeLibrary) {
  std::string name = GuidToString(typeLibrary).substr(1, 36);
  std::ranges::transform(name, name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name + ".reg";
}

void WriteRegistration(const std::string& registry, const GUID& typeLibrary, const Registry& entries) {
  if (IsSingleFile(registry)) {
    ChangeSingleFile(registry, [&](Registry& file) {
      file.RemoveTypeLibrary(typeLibrary, ClassesOf(entries));
      for (const auto& entry : entries.typeLibraries()) file.Put(entry);
      for (const auto& entry : entries.classes()) file.Put(entry);
      return true;
    });
    return;
  }
  CreateFolder(registry);
  const std::string file = registry + "/" + RegistrationFileName(typeLibrary);
  Registry::Load(file);  // an existing registration we cannot read is not ours to replace
  entries.Save(file);
}

bool RemoveRegistration(const std::string& registry, const GUID& typeLibrary, const std::vector<CLSID>& classes) {
  if (IsSingleFile(registry)) {
    return ChangeSingleFile(registry, [&](Registry& file) { return file.RemoveTypeLibrary(typeLibrary, classes); });
  }
  std::error_code error;
  if (!std::filesystem::exists(registry, error)) return false;
  CheckFolderWritable(registry);
  const std::string file = registry + "/" + RegistrationFileName(typeLibrary);
  if (!std::filesystem::exists(std::filesystem::symlink_status(file, error))) return false;
  RemoveFile(file);
  return true;
}

}  // namespace ostrel::com
