// The writer's escaping: WriteSetEllement with fuzzed content must write
// exactly the line that a plain, row-by-row search and replace gives, or fail
// with the overflow error (a character to escape found at position 32,767 or
// beyond) or the error of a character CP932 cannot hold, writing nothing.
//
// The expected line goes through the file slot into a file of its own, so the
// two files compare byte for byte whatever the CP932 table does.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include <ostrel/com/com_ptr.h>
#include "runtime/file_slot.h"
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include "runtime/unicode.h"
#include "xmllib/writer.h"

namespace {

using ostrel_fuzz::Require;

constexpr std::size_t kLargestPosition = 32767;
constexpr std::u16string_view kStartTag = u"<sentence Title=\"t\">";
constexpr std::u16string_view kEndTag = u"</sentence>";

struct Row {
  char16_t character;
  std::u16string_view replacement;
};
constexpr std::array<Row, 3> kRows = {{{u'>', u"&gt;"}, {u'<', u"&lt;"}, {u'"', u"&quot;"}}};

// One row over TEXT; false when a hit stands at position 32,767 or beyond of
// the text as it is at that moment.
bool Replace(std::u16string& text, const Row& row) {
  std::u16string replaced;
  for (char16_t c : text) {
    if (c != row.character) {
      replaced += c;
      continue;
    }
    if (replaced.size() + 1 >= kLargestPosition) return false;
    replaced += row.replacement;
  }
  text = std::move(replaced);
  return true;
}

// The bytes after the six header lines.
std::string Body(const std::string& file) {
  std::size_t end = 0;
  for (int line = 0; line < 6; ++line) {
    end = file.find("\r\n", end);
    Require(end != std::string::npos, "the header has six lines");
    end += 2;
  }
  return file.substr(end);
}

// The error writing LINE through the slot raises; its bytes in LINEFILE.
int32_t WriteExpected(const std::string& lineFile, std::u16string_view line) {
  ostrel::com::file_slot::OpenForOutput(ostrel::com::FromUtf8(lineFile));
  int32_t error = 0;
  try {
    ostrel::com::file_slot::WriteLine(line);
  } catch (const ostrel::com::RuntimeError& failure) {
    error = failure.number();
  }
  ostrel::com::file_slot::Close();
  return error;
}

int32_t WriteActual(const std::string& file, int16_t indentNo, std::u16string_view contentData) {
  auto writer = ostrel::com::ComPtr<ostrel::CXmlWriter>::Attach(new ostrel::CXmlWriter());
  ostrel::com::Bstr name(ostrel::com::FromUtf8(file)), start(kStartTag), content(contentData), end(kEndTag);
  VARIANT_BOOL done = VARIANT_FALSE;
  ostrel::com::Check(writer->XmlOpen(name.Address(), &done));
  Require(done == VARIANT_TRUE, "XmlOpen opens a scratch file");
  const int32_t error = ostrel_fuzz::ErrorNumber(
      writer->WriteSetEllement(&indentNo, start.Address(), content.Address(), end.Address(), &done));
  Require(error != 0 || done == VARIANT_TRUE, "a line written answers True");
  ostrel::com::Check(writer->XmlClose(&done));
  return error;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string file = ostrel_fuzz::ScratchPath("written.xml");
  static const std::string lineFile = ostrel_fuzz::ScratchPath("expected.xml");
  if (size == 0) return 0;
  const int16_t indentNo = static_cast<int16_t>(data[0] % 5) - 1;
  const std::u16string content = ostrel::com::FromUtf8(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

  std::u16string escaped = content;
  bool fits = true;
  for (const Row& row : kRows) fits = fits && Replace(escaped, row);
  const std::u16string line =
      std::u16string(std::max<int16_t>(indentNo, 0), u'\t') + std::u16string(kStartTag) + escaped + std::u16string(kEndTag);
  const int32_t expectedError = fits ? WriteExpected(lineFile, line) : ostrel::com::errnum::kOverflow;

  const int32_t error = WriteActual(file, indentNo, content);
  Require(!ostrel::com::file_slot::IsOpen(), "XmlClose frees the file slot");
  Require(error == expectedError, "the line fails exactly when escaping or encoding must");
  const std::string body = Body(ostrel_fuzz::ReadFile(file));
  if (error != 0) {
    Require(body.empty(), "a failed line leaves nothing in the file");
  } else {
    Require(body == ostrel_fuzz::ReadFile(lineFile), "the line is the content escaped row by row");
  }
  return 0;
}
