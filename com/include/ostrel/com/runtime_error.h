// Numbered run-time errors.
//
// Code inside a component raises a RuntimeError; the component boundary turns
// it into a failed status plus this thread's error info (see com.h), and the
// caller's Check() turns that back into the same RuntimeError.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "export.h"

namespace ostrel::com {

namespace errnum {
constexpr int32_t kInvalidArgument = 5;   // also: a key not in a Collection
constexpr int32_t kOverflow = 6;
constexpr int32_t kOutOfMemory = 7;
constexpr int32_t kSubscriptOutOfRange = 9;
constexpr int32_t kTypeMismatch = 13;
constexpr int32_t kInternal = 51;
constexpr int32_t kBadFileName = 52;
constexpr int32_t kFileNotFound = 53;
constexpr int32_t kFileAlreadyOpen = 55;  // the file slot is taken
constexpr int32_t kDeviceIo = 57;
constexpr int32_t kDiskFull = 61;
constexpr int32_t kPermissionDenied = 70;
constexpr int32_t kPathFileAccess = 75;
constexpr int32_t kPathNotFound = 76;
constexpr int32_t kObjectNotSet = 91;
constexpr int32_t kCannotCreateObject = 429;
constexpr int32_t kNoSuchInterface = 430;
constexpr int32_t kNoSuchMember = 438;
constexpr int32_t kWrongArgumentCount = 450;
constexpr int32_t kDuplicateKey = 457;
}  // namespace errnum

// The fixed Japanese description of a run-time error number; the text is
// static and lives as long as the library.
OSTREL_COM_API std::u16string_view StandardDescription(int32_t number);

class OSTREL_COM_API RuntimeError : public std::exception {
 public:
  explicit RuntimeError(int32_t number);  // with the standard description
  RuntimeError(int32_t number, std::u16string_view description);

  int32_t number() const { return number_; }
  const std::u16string& description() const { return description_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int32_t number_;
  std::u16string description_;
  std::string what_;  // "NUMBER: description" in UTF-8
};

[[noreturn]] OSTREL_COM_API void Raise(int32_t number);
[[noreturn]] OSTREL_COM_API void Raise(int32_t number, std::u16string_view description);

}  // namespace ostrel::com
