#include "tools/json.h"

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

}  // namespace

// One pass: units that stand for themselves are copied, escapes written in
// place, the rest encoded; a surrogate without its partner becomes U+FFFD.
char* PutJsonString(std::u16string_view text, char* out) {
  *out++ = '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      if (c >= 0x20 && c != u'"' && c != u'\\') {
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
