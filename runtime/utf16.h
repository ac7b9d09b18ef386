// UTF-16 code units and the code points they stand for, as the conversions of
// the platform layer need them.
#pragma once

#include <string>
#include <string_view>

namespace ostrel::com::utf16 {

constexpr char32_t kReplacement = 0xFFFD;

constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// The code point that starts at POS: a surrogate pair combined, a lone
// surrogate as itself, so that callers can name it.
char32_t CodePointAt(std::u16string_view text, size_t pos);

// The number of units CODE_POINT takes in UTF-16.
constexpr size_t UnitCount(char32_t code_point) { return code_point > 0xFFFF ? 2 : 1; }

void Append(char32_t code_point, std::u16string& out);

}  // namespace ostrel::com::utf16
