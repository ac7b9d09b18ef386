#include "platform/file_error.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/runtime_error.h"
#include "platform/unicode.h"

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

void RaiseFileError(int error, FileUse use) { Raise(FileErrorNumber(error, use)); }

void RaiseFileError(int error, FileUse use, std::string_view path) {
  const int32_t number = FileErrorNumber(error, use);
  Raise(number, StandardDescription(number) + u": " + FromUtf8(path) + u" (" + FromUtf8(std::strerror(error)) + u")");
}

}  // namespace ostrel::com
