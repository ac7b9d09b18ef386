#include "tools/json.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/utf16.h"

namespace tools {

namespace {

using ostrel::com::utf16::IsHighSurrogate;
using ostrel::com::utf16::IsLowSurrogate;
using ostrel::com::utf16::IsSurrogate;

char* PutEscape(char16_t c, char* out) {
  *out++ = '\\';
  switch (c) {
    case u'"': *out++ = '"'; return out;
    case u'\\': *out++ = '\\'; return out;
    case u'\r': *out++ = 'r'; return out;
    case u'\n': *out++ = 'n'; return out;
    default: break;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  *out++ = 'u';
  *out++ = '0';
  *out++ = '0';
  *out++ = kHex[c >> 4];
  *out++ = kHex[c & 0xF];
  return out;
}

char* PutUtf8(char32_t code_point, char* out) {
  if (code_point < 0x800) {
    *out++ = static_cast<char>(0xC0 | code_point >> 6);
  } else if (code_point < 0x10000) {
    *out++ = static_cast<char>(0xE0 | code_point >> 12);
    *out++ = static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | code_point >> 18);
    *out++ = static_cast<char>(0x80 | (code_point >> 12 & 0x3F));
    *out++ = static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
  }
  *out++ = static_cast<char>(0x80 | (code_point & 0x3F));
  return out;
}

// ASCII that needs no escape, one look-up instead of three tests.
constexpr auto kStandsForItself = [] {
  std::array<bool, 0x80> table{};
  for (char16_t c = 0x20; c < 0x80; ++c) table[c] = c != u'"' && c != u'\\';
  return table;
}();

// Narrows the units from I on while eight at a time stand for themselves:
// element names, attribute names and much of a memo's text. Tried once per
// text, so Japanese text pays for it once, not at every unit.
char* PutPlainAscii(std::u16string_view text, std::size_t& i, char* out) {
  using Units = uint16_t __attribute__((vector_size(16)));
  using Bytes = uint8_t __attribute__((vector_size(8)));
  for (; i + 8 <= text.size(); i += 8, out += 8) {
    Units units;
    std::memcpy(&units, text.data() + i, sizeof units);
    const auto plain = (units >= 0x20) & (units < 0x80) & (units != uint16_t{u'"'}) & (units != uint16_t{u'\\'});
    uint64_t halves[2];
    std::memcpy(halves, &plain, sizeof halves);
    if ((halves[0] & halves[1]) != ~uint64_t{0}) break;
    const Bytes bytes = __builtin_convertvector(units, Bytes);
    std::memcpy(out, &bytes, sizeof bytes);
  }
  return out;
}

}  // namespace

// One pass: units that stand for themselves are copied, escapes written in
// place, the rest encoded; a surrogate without its partner becomes U+FFFD.
char* PutJsonString(std::u16string_view text, char* out) {
  *out++ = '"';
  std::size_t start = 0;
  out = PutPlainAscii(text, start, out);
  for (std::size_t i = start; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      if (kStandsForItself[c]) {
        *out++ = static_cast<char>(c);


      } else {
        out = PutEscape(c, out);
      }
    } else if (!IsSurrogate(c)) {
      out = PutUtf8(c, out);
    } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      out = PutUtf8(0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00), out);
    } else {
      out = PutUtf8(ostrel::com::utf16::kReplacement, out);
    }
  }
  *out++ = '"';
  return out;
}

std::string JsonString(std::u16string_view text) {
  std::string json(JsonStringRoom(text.size()), '\0');
  json.resize(static_cast<std::size_t>(PutJsonString(text, json.data()) - json.data()));
  return json;
}

}  // namespace tools
