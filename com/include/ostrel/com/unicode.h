// Conversions between the UTF-16 text held in memory and UTF-8, the encoding
// of file names, terminals and JSON; and the UTF-16 code units they rest on.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel::com {

namespace utf16 {

constexpr char32_t kReplacement = 0xFFFD;

constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// The code point that starts at POS: a surrogate pair combined, a lone
// surrogate as itself, so that callers can name it.
constexpr char32_t CodePointAt(std::u16string_view text, std::size_t pos) {
  const char32_t unit = text[pos];
  if (IsHighSurrogate(unit) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1])) {
    return 0x10000 + ((unit - 0xD800) << 10) + (text[pos + 1] - 0xDC00);
  }
  return unit;
}

// The number of units CODE_POINT takes in UTF-16.
constexpr std::size_t UnitCount(char32_t code_point) { return code_point > 0xFFFF ? 2 : 1; }

inline void Append(char32_t code_point, std::u16string& out) {
  if (code_point <= 0xFFFF) {
    out.push_back(static_cast<char16_t>(code_point));
    return;
  }
  const char32_t offset = code_point - 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

}  // namespace utf16

namespace unicode_detail {

inline void AppendUtf8(char32_t code_point, std::string& out) {
  if (code_point < 0x80) {
    out.push_back(static_cast<char>(code_point));
    return;
  }
  const int trailing = code_point < 0x800 ? 1 : code_point < 0x10000 ? 2 : 3;
  constexpr unsigned char kLeadMarks[] = {0, 0xC0, 0xE0, 0xF0};
  out.push_back(static_cast<char>(kLeadMarks[trailing] | (code_point >> (6 * trailing))));
  for (int shift = 6 * (trailing - 1); shift >= 0; shift -= 6) {
    out.push_back(static_cast<char>(0x80 | ((code_point >> shift) & 0x3F)));
  }
}

// What a lead byte promises: the length of its sequence and the range its
// second byte must lie in. The narrowed ranges after E0, ED, F0 and F4 are
// what rules out overlong forms, encoded surrogates and code points beyond
// U+10FFFF (Unicode's table of well-formed byte sequences).
struct LeadByte {
  int length;  // 0: the byte cannot start a sequence
  unsigned char secondLow = 0x80;
  unsigned char secondHigh = 0xBF;
};

constexpr LeadByte Classify(unsigned char lead) {
  if (lead < 0x80) return {1};
  if (lead < 0xC2) return {0};
  if (lead < 0xE0) return {2};
  if (lead == 0xE0) return {3, 0xA0};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead < 0xF0) return {3};
  if (lead == 0xF0) return {4, 0x90};
  if (lead < 0xF4) return {4};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0};
}

// Decodes the sequence at POS and moves POS past it. An ill-formed sequence
// yields one U+FFFD for its longest well-formed start, so the byte that broke
// it begins the next sequence.
constexpr char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
  const unsigned char lead = text[pos++];
  const LeadByte kind = Classify(lead);
  if (kind.length <= 1) return kind.length == 1 ? lead : utf16::kReplacement;
  char32_t code_point = lead & (0xFF >> (kind.length + 1));
  unsigned char low = kind.secondLow, high = kind.secondHigh;
  for (int k = 1; k < kind.length; ++k) {
    if (pos == text.size()) return utf16::kReplacement;
    const unsigned char next = text[pos];
    if (next < low || next > high) return utf16::kReplacement;
    code_point = (code_point << 6) | (next & 0x3F);
    ++pos;
    low = 0x80;  // only the second byte has a narrowed range
    high = 0xBF;
  }
  return code_point;
}

constexpr char16_t kByteCarrier = 0xDC00;  // + a byte from 0x80 to 0xFF

constexpr bool CarriesByte(char32_t code_point) {
  return code_point >= kByteCarrier + 0x80 && code_point <= kByteCarrier + 0xFF;
}

}  // namespace unicode_detail

// Lone surrogates become U+FFFD.
inline std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t code_point = utf16::CodePointAt(text, pos);
    pos += utf16::UnitCount(code_point);
    unicode_detail::AppendUtf8(utf16::IsSurrogate(code_point) ? utf16::kReplacement : code_point, out);
  }
  return out;
}

// Invalid bytes become U+FFFD.
inline std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) utf16::Append(unicode_detail::DecodeUtf8(text, pos), out);
  return out;
}

// File names are bytes, mostly UTF-8. A byte that is not part of valid UTF-8
// travels in the text as the lone surrogate U+DC00 + byte (U+DC80..U+DCFF)
// and comes back out as that byte, so every name survives the trip.
inline std::u16string FromFileName(std::string_view bytes) {
  constexpr std::string_view kEncodedReplacement = "\xEF\xBF\xBD";
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t start = pos;
    const char32_t code_point = unicode_detail::DecodeUtf8(bytes, pos);
    if (code_point != utf16::kReplacement || bytes.substr(start, 3) == kEncodedReplacement) {
      utf16::Append(code_point, out);
      continue;
    }
    out.push_back(static_cast<char16_t>(unicode_detail::kByteCarrier + static_cast<unsigned char>(bytes[start])));
    pos = start + 1;
  }
  return out;
}

// The bytes NAME stands for; none when it cannot name a file: it is empty,
// holds U+0000 or a lone surrogate that stands for no byte, or its bytes would
// read back as another text (so no two texts name the same file).
inline std::optional<std::string> ToFileName(std::u16string_view name) {
  using unicode_detail::CarriesByte;
  std::string bytes;
  bytes.reserve(name.size());
  for (std::size_t pos = 0; pos < name.size();) {
    const char32_t code_point = utf16::CodePointAt(name, pos);
    pos += utf16::UnitCount(code_point);
    if (code_point == 0 || (utf16::IsSurrogate(code_point) && !CarriesByte(code_point))) return std::nullopt;
    if (CarriesByte(code_point)) bytes.push_back(static_cast<char>(code_point - unicode_detail::kByteCarrier));
    else unicode_detail::AppendUtf8(code_point, bytes);
  }
  if (bytes.empty() || FromFileName(bytes) != name) return std::nullopt;
  return bytes;
}

}  // namespace ostrel::com
