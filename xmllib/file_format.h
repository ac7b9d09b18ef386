// Rules of the file format that more than one part must agree on: the
// writer, the reader and its scanner, and Lintrow's memo line, which predicts
// what the reader will make of a line.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

namespace ostrel::format {

// Positions in a text are 16-bit signed, so this is the largest one the
// library can handle.
constexpr int16_t kLargestPosition = std::numeric_limits<int16_t>::max();

// The characters the writer escapes in content, in the order it replaces
// them, and the references the reader turns back into them.
struct Escape {
  char16_t character;
  std::u16string_view reference;
};
constexpr Escape kEscapes[] = {{u'>', u"&gt;"}, {u'<', u"&lt;"}, {u'"', u"&quot;"}};
constexpr int16_t kEscapeCount = static_cast<int16_t>(std::size(kEscapes));

// What the scanner drops at the start of every line it reads.
constexpr bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\0'; }

}  // namespace ostrel::format
