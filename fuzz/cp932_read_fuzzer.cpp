// The file slot's reading of arbitrary bytes: every line comes back without
// its line end (CR LF, LF or CR), and reading is stable: the lines read, written back through
// the slot and read again, are the same lines. A line holding a character
// the slot cannot write back (its stand-in for bytes that are no CP932) is
// left out of the second round.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/file_slot.h"
#include "platform/runtime_error.h"
#include "platform/unicode.h"

namespace {

using ostrel_fuzz::Require;
namespace file_slot = ostrel::com::file_slot;

std::vector<std::u16string> ReadLines(const std::string& path) {
  file_slot::OpenForInput(ostrel::com::FromUtf8(path));
  std::vector<std::u16string> lines;
  while (!file_slot::AtEnd()) {
    lines.emplace_back(file_slot::ReadLine());
    Require(lines.back().find_first_of(u"\r\n") == std::u16string::npos, "a line holds no line end");
  }
  file_slot::Close();
  return lines;
}

// Writes each line that the slot can encode; returns those lines.
std::vector<std::u16string> WriteLines(const std::string& path, const std::vector<std::u16string>& lines) {
  file_slot::OpenForOutput(ostrel::com::FromUtf8(path));
  std::vector<std::u16string> written;
  for (const std::u16string& line : lines) {
    try {
      file_slot::WriteLine(line);
      written.push_back(line);
    } catch (const ostrel::com::RuntimeError& error) {
      Require(error.number() == ostrel::com::errnum::kInvalidArgument, "a line fails only for its characters");
    }
  }
  file_slot::Close();
  return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string input = ostrel_fuzz::ScratchPath("bytes.txt");
  static const std::string again = ostrel_fuzz::ScratchPath("again.txt");
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ostrel_fuzz::WriteFile(input, bytes);
  const std::vector<std::u16string> lines = ReadLines(input);
  std::size_t lineEnds = 0;
  for (char byte : bytes) lineEnds += byte == '\r' || byte == '\n';
  Require(lines.size() <= lineEnds + 1, "no more lines than line ends allow");
  const std::vector<std::u16string> written = WriteLines(again, lines);
  Require(ReadLines(again) == written, "lines written back read the same");
  return 0;
}
