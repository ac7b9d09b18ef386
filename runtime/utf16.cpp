#include "runtime/utf16.h"

namespace ostrel::com::utf16 {

char32_t CodePointAt(std::u16string_view text, size_t pos) {
  const char32_t unit = text[pos];
  if (IsHighSurrogate(unit) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1])) {
    return 0x10000 + ((unit - 0xD800) << 10) + (text[pos + 1] - 0xDC00);
  }
  return unit;
}

void Append(char32_t code_point, std::u16string& out) {
  if (code_point <= 0xFFFF) {
    out.push_back(static_cast<char16_t>(code_point));
    return;
  }
  const char32_t offset = code_point - 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

}  // namespace ostrel::com::utf16
