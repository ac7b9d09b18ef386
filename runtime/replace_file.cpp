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

#include <ostrel/com/runtime_error.h>
#include "runtime/file_error.h"
#include "runtime/unicode.h"

namespace ostrel::com {
namespace {

std::string FolderOf(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

// Whether someone other than this user and root may add, replace or remove
// entries of FOLDER. A folder that cannot be examined counts as such.
bool OthersMayWrite(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return true;
  return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 || (info.st_uid != ::geteuid() && info.st_uid != 0);
}

[[noreturn]] void RaiseUnusable(const std::string& path, std::u16string_view why) {
  Raise(errnum::kPathFileAccess, std::u16string(why) + u": " + FromUtf8(path));
}

void WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) throw errno;
    content.remove_prefix(static_cast<size_t>(written));
  }
}

// Reads the rest of FD, an open regular file, up to LIMIT bytes; one more
// byte than that is refused.
std::string ReadAll(int fd, const std::string& path, size_t limit) {
  std::string content;
  char buffer[8192];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) RaiseFileError(errno, FileUse::kInput, path);
    if (count == 0) return content;
    content.append(buffer, static_cast<size_t>(count));
    if (content.size() > limit) RaiseUnusable(path, u"ファイルが大きすぎます (上限 " + FromUtf8(std::to_string(limit)) + u" バイト)");
  }
}

// A new hidden file beside TARGET (registries pass over hidden files), never
// an existing file or a link; its name goes to NAME.
int CreateTemporary(const std::string& target, std::string* name) {
  static std::atomic<unsigned> count = 0;
  const std::string stem =
      FolderOf(target) + "/." + std::filesystem::path(target).filename().string() + "." + std::to_string(::getpid());
  for (;;) {
    *name = stem + "." + std::to_string(count++);
    const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

// The file that writing PATH changes in a folder of our own.
std::string EndOfLinks(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved)) return resolved;
  return path;  // no such file yet: it is created where PATH says
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

std::string ReplacedFile(const std::string& path) { return OthersMayWrite(FolderOf(path)) ? path : EndOfLinks(path); }

std::optional<std::string> ReadFileIfPresent(const std::string& path, size_t limit) {
  const bool shared = OthersMayWrite(FolderOf(path));
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (shared ? O_NOFOLLOW : 0));
  if (fd < 0 && (errno == ENOENT || (shared && errno == ELOOP))) return std::nullopt;
  if (fd < 0) RaiseFileError(errno, FileUse::kInput, path);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) RaiseFileError(errno, FileUse::kInput, path);
  if (!S_ISREG(info.st_mode)) RaiseUnusable(path, u"通常のファイルではありません");
  return ReadAll(fd, path, limit);
}

void ReplaceFile(const std::string& path, std::string_view content) {
  const bool shared = OthersMayWrite(FolderOf(path));
  const std::string target = shared ? path : EndOfLinks(path);
  if (!shared && ::access(target.c_str(), F_OK) == 0 &&
      ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    RaiseFileError(errno, FileUse::kOutput, target);
  }
  std::string temporary;
  int fd = CreateTemporary(target, &temporary);
  if (fd < 0) RaiseFileError(errno, FileUse::kOutput, target);
  try {
    if (!shared) TakeOverAttributes(fd, target);
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
