// Conversions between the UTF-16 text we hold in memory and UTF-8, the
// encoding of file names, the terminal and JSON output.
#pragma once

#include <string>
#include <string_view>

namespace ostrel::com {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);  // invalid bytes become U+FFFD

}  // namespace ostrel::com
