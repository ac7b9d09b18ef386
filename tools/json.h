// JSON text for what the command-line tools print.
#pragma once

#include <string>
#include <string_view>

namespace tools {

// TEXT as a JSON string in UTF-8, quotes included: '"' and '\' escaped, CR and
// LF as \r and \n, any other control character as \u00XX.
std::string JsonString(std::u16string_view text);

}  // namespace tools
