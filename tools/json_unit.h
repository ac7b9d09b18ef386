// One unit of a text, or the surrogate pair it starts, as JSON: what every
// way of writing a JSON string falls back on for a unit its steps leave.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "runtime/utf16.h"

namespace tools::json_unit {

inline char* PutEscape(char16_t c, char* out) {
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

inline char* PutUtf8(char32_t code_point, char* out) {
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
inline constexpr auto kStandsForItself = [] {
  std::array<bool, 0x80> table{};
  for (char16_t c = 0x20; c < 0x80; ++c) table[c] = c != u'"' && c != u'\\';
  return table;
}();

// The unit at I, or the pair that starts there, as JSON; I moves past it.
// Inlined in every loop, as a call would cost more than most units.
[[gnu::always_inline]] inline char* PutUnit(std::u16string_view text, std::size_t& i, char* out) {
  using ostrel::com::utf16::IsHighSurrogate;
  using ostrel::com::utf16::IsLowSurrogate;
  const char16_t c = text[i++];
  if (c < 0x80) {
    if (kStandsForItself[c]) {
      *out = static_cast<char>(c);
      return out + 1;
    }
    return PutEscape(c, out);
  }
  if (!ostrel::com::utf16::IsSurrogate(c)) return PutUtf8(c, out);
  if (IsHighSurrogate(c) && i < text.size() && IsLowSurrogate(text[i])) {
    return PutUtf8(0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00), out);
  }
  return PutUtf8(ostrel::com::utf16::kReplacement, out);
}

}  // namespace tools::json_unit
