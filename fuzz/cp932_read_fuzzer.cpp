// The file slot's reading of arbitrary bytes. The lines are those that the
// system's converter makes of the whole input, split at CR LF, LF or CR, with
// U+FFFD for each byte it refuses; the input is read once as it is and once
// behind padding that puts a read block's end inside it, chosen by its first
// byte. Reading is stable: the lines read, written back through the slot and
// read again, are the same lines. A line holding a character the slot cannot
// write back (its stand-in for bytes that are no CP932) is left out of the
// second round.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "runtime/file_slot.h"
#include <ostrel/com/runtime_error.h>
#include "runtime/unicode.h"
#include "tests/converter_decoding.h"

namespace {

using ostrel_fuzz::Require;
using ostrel_reference::ConverterDecoding;
namespace file_slot = ostrel::com::file_slot;

// What the slot reads in one go.
constexpr std::size_t kReadBlock = 64 * 1024;

// Lines compared a line at a time with memcmp: comparing unit by unit, each
// unit's compare is traced for coverage, and a padded line has 64K of them.
bool SameLines(const std::vector<std::u16string>& a, const std::vector<std::u16string>& b) {
  const auto same = [](const std::u16string& x, const std::u16string& y) {
    return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(char16_t)) == 0;
  };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), same);
}

// TEXT split at CR LF, LF or CR; a line end that closes the text opens no
// further line.
std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of(u"\r\n"), text.size());
    lines.emplace_back(text.substr(0, end));
    const bool crLf = text.substr(end).starts_with(u"\r\n");
    text.remove_prefix(std::min(text.size(), end + (crLf ? 2 : 1)));
  }
  return lines;
}

std::vector<std::u16string> ReadLines(const std::string& path) {
  file_slot::OpenForInput(ostrel::com::FromUtf8(path));
  std::vector<std::u16string> lines;
  while (!file_slot::AtEnd()) lines.emplace_back(file_slot::ReadLinePiece(SIZE_MAX).text);
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
  std::vector<std::u16string> expected = SplitLines(ConverterDecoding(bytes));
  Require(SameLines(lines, expected), "the lines are the converter's");
  if (!bytes.empty()) {
    // ASCII without a line end only lengthens the first line.
    static const std::string kPadding(kReadBlock, 'a');
    static const std::u16string kPaddingText(kReadBlock, u'a');
    const std::size_t padding = kReadBlock - data[0] % bytes.size();
    ostrel_fuzz::WriteFile(input, kPadding.substr(0, padding).append(bytes));
    expected.front() = kPaddingText.substr(0, padding).append(expected.front());
    Require(SameLines(ReadLines(input), expected), "a read block's end changes no line");
  }
  const std::vector<std::u16string> written = WriteLines(again, lines);
  Require(ReadLines(again) == written, "lines written back read the same");
  return 0;
}
