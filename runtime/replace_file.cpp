#include "runtime/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "runtime/file_error.h"

namespace ostrel::com {
namespace {

// The file that writing PATH really changes: the end of its chain of links.
std::string TargetOf(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved)) return resolved;
  return path;  // no such file yet: it is created where PATH says
}

std::string FolderOf(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

void WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) throw errno;
    content.remove_prefix(static_cast<size_t>(written));
  }
}

// A new hidden file beside TARGET (registries pass over hidden files), with
// the usual mode for this process's umask; its name goes to NAME.
int CreateTemporary(const std::string& target, std::string* name) {
  static std::atomic<unsigned> count = 0;
  const std::string stem =
      FolderOf(target) + "/." + std::filesystem::path(target).filename().string() + "." + std::to_string(::getpid());
  for (;;) {
    *name = stem + "." + std::to_string(count++);
    const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

// Gives the new file the mode and owner of the one it replaces, if any.
void TakeOverAttributes(int fd, const std::string& target) {
  struct stat old {};
  if (::stat(target.c_str(), &old) != 0) return;
  if (::fchmod(fd, old.st_mode & 07777) != 0) throw errno;
  if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) throw errno;
  }
}

}  // namespace

std::optional<std::string> ReadFileIfPresent(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) return std::nullopt;
  if (fd < 0) RaiseFileError(errno, FileUse::kInput, path);
  std::string content;
  char buffer[8192];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      const int error = errno;
      ::close(fd);
      RaiseFileError(error, FileUse::kInput, path);
    }
    if (count == 0) break;
    content.append(buffer, static_cast<size_t>(count));
  }
  ::close(fd);
  return content;
}

void ReplaceFile(const std::string& path, std::string_view content) {
  const std::string target = TargetOf(path);
  if (::access(target.c_str(), F_OK) == 0 && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    RaiseFileError(errno, FileUse::kOutput, target);
  }
  std::string temporary;
  int fd = CreateTemporary(target, &temporary);
  if (fd < 0) RaiseFileError(errno, FileUse::kOutput, target);
  try {
    TakeOverAttributes(fd, target);
    WriteAll(fd, content);
    if (::fsync(fd) != 0) throw errno;
    const int closed = ::close(std::exchange(fd, -1));
    if (closed != 0) throw errno;
    if (::rename(temporary.c_str(), target.c_str()) != 0) throw errno;
  } catch (int error) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    RaiseFileError(error, FileUse::kOutput, target);
  }
}

void RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) RaiseFileError(errno, FileUse::kOutput, path);
}

void CheckFolderWritable(const std::string& folder) {
  if (::faccessat(AT_FDCWD, folder.c_str(), R_OK | W_OK | X_OK, AT_EACCESS) != 0) {
    RaiseFileError(errno, FileUse::kOutput, folder);
  }
}

}  // namespace ostrel::com
