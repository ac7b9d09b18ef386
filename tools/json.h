// JSON text for what the command-line tools print.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tools {

// TEXT as a JSON string in UTF-8, quotes included: '"' and '\' escaped, CR and
// LF as \r and \n, any other control character as \u00XX.
std::string JsonString(std::u16string_view text);

// The most bytes the JSON string of a text of UNITS units takes: a control
// character's \u00XX is six.
constexpr std::size_t JsonStringRoom(std::size_t units) { return 6 * units + 2; }

// Writes the JSON string of TEXT at OUT, which has room for
// JsonStringRoom(text.size()) bytes, and returns its end. The bytes after
// the end, within the room, may have been written over.
char* PutJsonString(std::u16string_view text, char* out);

}  // namespace tools
