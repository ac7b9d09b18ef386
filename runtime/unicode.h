// Conversions between the UTF-16 text we hold in memory and UTF-8, the
// encoding of file names, the terminal and JSON output.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrel::com {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);  // invalid bytes become U+FFFD

// File names are bytes, mostly UTF-8. A byte that is not part of valid UTF-8
// travels in the text as the lone surrogate U+DC00 + byte (U+DC80..U+DCFF)
// and comes back out as that byte, so every name survives the trip.
std::u16string FromFileName(std::string_view bytes);
// The bytes NAME stands for; none when it cannot name a file: it is empty,
// holds U+0000 or a lone surrogate that stands for no byte, or its bytes would
// read back as another text (so no two texts name the same file).
std::optional<std::string> ToFileName(std::u16string_view name);

}  // namespace ostrel::com
