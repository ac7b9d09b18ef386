// Code page 932 (Shift-JIS), the encoding of the memo file, as the file slot
// converts to and from it.
//
// Some characters share one CP932 form with another (the wave dash and the
// full-width tilde, the yen sign and the backslash, ...): they can be written
// but come back as the other one. SurvivesCp932 tells those apart from the
// characters that come back as they went.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace memoapp {

// Null when TEXT holds a character without a CP932 form, or a lone surrogate.
std::optional<std::string> EncodeCp932(std::u16string_view text);
// Null when BYTES are no valid CP932.
std::optional<std::u16string> DecodeCp932(std::string_view bytes);

// True when TEXT, written as CP932 and read back, is TEXT again.
bool SurvivesCp932(std::u16string_view text);

}  // namespace memoapp
