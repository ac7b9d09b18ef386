#include "platform/cp932.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/unicode.h"
#include "platform/utf16.h"

namespace ostrel::com {
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

// What each byte and each pair of bytes decodes to, as the system's
// converter says.
struct Cp932Decoder::Table {
  std::array<char16_t, 256> single{};  // U+FFFD for a byte that is no character
  std::array<bool, 256> lead{};        // the byte needs a second one
  std::vector<char16_t> pairs;         // by lead << 8 | trail; 0 for no character
  bool asciiAsItself = false;          // bytes below 0x80 are those code points
};

namespace {

// The one unit that converting BYTES as a whole gives; 0 when they are no
// single character. ERROR receives why not.
char16_t ConvertWhole(iconv_t descriptor, std::string_view bytes, int& error) {
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char16_t unit = 0;
  char* written = reinterpret_cast<char*>(&unit);
  size_t outLeft = sizeof unit;
  error = iconv(descriptor, &in, &inLeft, &written, &outLeft) == static_cast<size_t>(-1) ? errno : 0;
  iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  return error == 0 && inLeft == 0 && outLeft == 0 ? unit : 0;
}

// Widens the run of bytes below 0x80 that starts at USED, eight at a time:
// most memo files are largely ASCII. Each step widens eight bytes whatever
// they are and keeps the units of those before the first byte above 0x7F;
// this stays within OUT because no unit is written ahead of its byte.
void CopyAscii(const unsigned char* in, size_t size, char16_t* out, size_t& used, size_t& written) {
  using Bytes = uint8_t __attribute__((vector_size(8)));
  using Units = uint16_t __attribute__((vector_size(16)));
  constexpr uint64_t kHighBits = 0x8080808080808080;
  while (used + sizeof(Bytes) <= size) {
    Bytes bytes;
    std::memcpy(&bytes, in + used, sizeof bytes);
    const Units units = __builtin_convertvector(bytes, Units);
    std::memcpy(out + written, &units, sizeof units);
    uint64_t word;
    std::memcpy(&word, &bytes, sizeof word);
    const uint64_t high = word & kHighBits;
    const int firstHigh = std::endian::native == std::endian::little ? std::countr_zero(high) : std::countl_zero(high);
    const size_t ascii = high ? static_cast<size_t>(firstHigh) / 8 : sizeof bytes;
    used += ascii;
    written += ascii;
    if (ascii < sizeof bytes) return;
  }
}

Cp932Decoder::Table BuildTable() {
  const iconv_t descriptor = OpenConverter(kUtf16, kCp932);
  Cp932Decoder::Table table;
  table.pairs.assign(256 * 256, 0);
  for (int first = 0; first < 256; ++first) {
    const char bytes[2] = {static_cast<char>(first), 0};
    int error = 0;
    const char16_t unit = ConvertWhole(descriptor, {bytes, 1}, error);
    table.single[first] = error == 0 ? unit : static_cast<char16_t>(utf16::kReplacement);
    table.lead[first] = error == EINVAL;
    for (int second = 0; table.lead[first] && second < 256; ++second) {
      const char pair[2] = {static_cast<char>(first), static_cast<char>(second)};
      table.pairs[first << 8 | second] = ConvertWhole(descriptor, {pair, 2}, error);
    }
  }
  iconv_close(descriptor);
  table.asciiAsItself = true;
  for (int byte = 0; byte < 0x80; ++byte) table.asciiAsItself &= table.single[byte] == byte && !table.lead[byte];
  return table;
}

}  // namespace

Cp932Decoder::Cp932Decoder()
    : table_([]() -> const Table& {
        static const Table table = BuildTable();
        return table;
      }()) {}

// Where the converter refuses a byte, it becomes U+FFFD and the next byte
// starts afresh, so a broken pair still lets its second byte through.
Cp932Decoder::Result Cp932Decoder::Decode(std::string_view bytes, char16_t* out, bool last) const {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  size_t used = 0;
  size_t written = 0;
  while (used < size) {
    if (in[used] < 0x80 && table_.asciiAsItself) {
      CopyAscii(in, size, out, used, written);
      if (used == size) break;
    }
    const unsigned char first = in[used];
    if (!table_.lead[first]) {
      out[written++] = table_.single[first];
      ++used;
      continue;
    }
    if (used + 1 == size && !last) break;  // the second byte is in the next block
    const char16_t unit = used + 1 < size ? table_.pairs[first << 8 | in[used + 1]] : 0;
    out[written++] = unit != 0 ? unit : static_cast<char16_t>(utf16::kReplacement);
    used += unit != 0 ? 2 : 1;
  }
  return {used, written};
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

}  // namespace ostrel::com
