#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <ostrel/com/error_info.h>
#include <ostrel/com/message_box.h>
#include <ostrel/com/runtime_error.h>

namespace ostrel_fuzz {

void Require(bool condition, std::string_view what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

std::string ScratchPath(std::string_view name) {
  const std::filesystem::path folder =
      std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
  return (folder / ("ostrel-fuzz-" + std::to_string(::getpid()) + "-" + std::string(name))).string();
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Require(file.good(), "scratch file written");
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void SilenceMessageBoxes() {
  ostrel::com::SetMessageBoxSink({[](void*, std::u16string_view, std::u16string_view) {}, nullptr});
}

int32_t ErrorNumber(HRESULT status) {
  return Failed(status) ? ostrel::com::ErrorFromStatus(status).number() : 0;
}

bool IsReadError(int32_t number) {
  namespace errnum = ostrel::com::errnum;
  switch (number) {
    case errnum::kOverflow:
    case errnum::kDuplicateKey:
    case errnum::kBadFileName:
    case errnum::kFileNotFound:
    case errnum::kFileAlreadyOpen:
    case errnum::kDeviceIo:
    case errnum::kDiskFull:
    case errnum::kPermissionDenied:
    case errnum::kPathFileAccess:
    case errnum::kPathNotFound:
      return true;
    default:
      return false;
  }
}

}  // namespace ostrel_fuzz
