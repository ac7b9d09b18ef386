// The run-time error of a failed system call on a file.
#pragma once

#include <cstdint>
#include <string_view>

namespace ostrel::com {

// A missing file means "file not found" when reading, but "path not found"
// when writing, since writing creates the file and only a missing folder can
// make that fail.
enum class FileUse { kInput, kOutput };

int32_t FileErrorNumber(int error, FileUse use);

// Raises the error for ERROR (an errno value) with its standard description,
// or, for a refusal to read, one that says so.
[[noreturn]] void RaiseFileError(int error, FileUse use);
// The same, with the file's PATH and the system's reason added to the
// description, for files a user has to find and mend.
[[noreturn]] void RaiseFileError(int error, FileUse use, std::string_view path);

}  // namespace ostrel::com
