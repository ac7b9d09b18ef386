#include "platform/cp932.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/runtime_error.h"
#include "platform/unicode.h"
#include "platform/utf16.h"

namespace platform {
namespace {

// "CP932", not "SHIFT_JIS": the latter reads 0x5C as a yen sign, 0x7E as an
// overline and 0x81 0x60 as U+301C, and lacks the NEC and IBM extension rows
// that Japanese text files use.
constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// No UTF-16 unit needs more than two CP932 bytes.
constexpr size_t kMostBytesPerUnit = 2;

iconv_t OpenConverter(const char* to, const char* from) {
  const iconv_t descriptor = iconv_open(to, from);
  if (descriptor == reinterpret_cast<iconv_t>(-1)) {
    Raise(errnum::kInternal, FromUtf8(std::string("文字コード変換 ") + from + " → " + to + " を利用できません。"));
  }
  return descriptor;
}

std::u16string CodePointName(char32_t code_point) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code_point));
  return FromUtf8(name);
}

}  // namespace

Cp932Decoder::Cp932Decoder() : descriptor_(OpenConverter(kUtf16, kCp932)) {}

Cp932Decoder::~Cp932Decoder() { iconv_close(descriptor_); }

Cp932Decoder::Result Cp932Decoder::Decode(std::string_view bytes, char16_t* out, bool last) {
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* written = reinterpret_cast<char*>(out);
  size_t outLeft = bytes.size() * sizeof(char16_t);
  while (iconv(descriptor_, &in, &inLeft, &written, &outLeft) == static_cast<size_t>(-1)) {
    if (errno == EINVAL && !last) break;  // the trail byte is in the next block
    const char16_t replacement = utf16::kReplacement;
    std::memcpy(written, &replacement, sizeof replacement);
    written += sizeof replacement;
    outLeft -= sizeof replacement;
    ++in;
    --inLeft;
  }
  return {bytes.size() - inLeft, static_cast<size_t>(written - reinterpret_cast<char*>(out)) / sizeof(char16_t)};
}

Cp932Encoder::Cp932Encoder() : descriptor_(OpenConverter(kCp932, kUtf16)) {}

Cp932Encoder::~Cp932Encoder() { iconv_close(descriptor_); }

void Cp932Encoder::Encode(std::u16string_view text, std::string& out) {
  const size_t start = out.size();
  out.resize(start + text.size() * kMostBytesPerUnit);
  char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
  size_t inLeft = text.size() * sizeof(char16_t);
  char* written = out.data() + start;
  size_t outLeft = out.size() - start;
  if (iconv(descriptor_, &in, &inLeft, &written, &outLeft) == static_cast<size_t>(-1)) {
    // Both EILSEQ and EINVAL (a high surrogate that ends the text) stop at a
    // character that has no CP932 form.
    out.resize(start);
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    const char32_t refused = utf16::CodePointAt(text, text.size() - inLeft / sizeof(char16_t));
    Raise(errnum::kInvalidArgument, u"CP932 で表せない文字 " + CodePointName(refused) + u" があります。");
  }
  out.resize(written - out.data());
}

}  // namespace platform
