#include "runtime/file_error.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <ostrel/com/runtime_error.h>
#include "runtime/unicode.h"

namespace ostrel::com {

int32_t FileErrorNumber(int error, FileUse use) {
  switch (error) {
    case ENOENT:
      return use == FileUse::kInput ? errnum::kFileNotFound : errnum::kPathNotFound;
    case ENOTDIR:
      return errnum::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return errnum::kPermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return errnum::kDiskFull;
    case EIO:
      return errnum::kDeviceIo;
    case ENAMETOOLONG:
      return errnum::kBadFileName;
    default:
      return errnum::kPathFileAccess;
  }
}

namespace {

// The standard text of 70 speaks of writing; a file refused for reading is
// described as such, under the same number.
std::u16string DescriptionOf(int32_t number, FileUse use) {
  if (number == errnum::kPermissionDenied && use == FileUse::kInput) return u"読み込みできません。";
  return std::u16string(StandardDescription(number));
}

}  // namespace

void RaiseFileError(int error, FileUse use) {
  const int32_t number = FileErrorNumber(error, use);
  Raise(number, DescriptionOf(number, use));
}

void RaiseFileError(int error, FileUse use, std::string_view path) {
  const int32_t number = FileErrorNumber(error, use);
  Raise(number, DescriptionOf(number, use) + u": " + FromUtf8(path) + u" (" + FromUtf8(std::strerror(error)) + u")");
}

}  // namespace ostrel::com
