#include "memoapp/memo_path.h"

#include <filesystem>
#include <system_error>

#include "runtime/unicode.h"

std::u16string MemoFilePath(std::u16string_view programFolder) {
  return std::u16string(programFolder) + u"/memo.xml";
}

std::u16string FolderOf(std::string_view program) {
  const size_t slash = program.rfind('/');
  return ostrel::com::FromFileName(program.substr(0, slash == std::string_view::npos ? 0 : slash));
}

// The link's bytes as they stand: the folder may be named in bytes that are
// not UTF-8, which a conversion to text on the way would lose.
std::u16string RunningProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::u16string() : FolderOf(program.native());
}
