// JSON text for what the command-line tools print.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tools {

// How a text's JSON is made: sixteen units a step with AVX2, on processors
// that have it, or eight with generic vector code. Both give the same bytes.
enum class JsonSteps { kEightUnits, kSixteenUnits };

// Whether this processor can take STEPS.
bool JsonStepsUsable(JsonSteps steps);

// Sixteen units where usable, unless the environment variable
// OSTREL_JSON_BY_EIGHT_UNITS is set: a whole program can then be compared
// with itself going the other way.
JsonSteps BestJsonSteps();

// TEXT as a JSON string in UTF-8, quotes included: '"' and '\' escaped, CR and
// LF as \r and \n, any other control character as \u00XX.
std::string JsonString(std::u16string_view text, JsonSteps steps = BestJsonSteps());

// The room PutJsonString needs for a text of UNITS units: six bytes a unit at
// most (a control character's \u00XX), the quotes, and what a step of
// sixteen units may write past the end of what it keeps.
constexpr std::size_t JsonStringRoom(std::size_t units) { return 6 * units + 2 + 16; }

// Writes the JSON string of TEXT at OUT, which has room for
// JsonStringRoom(text.size()) bytes, and returns its end. The bytes after
// the end, within the room, may have been written over. STEPS must be
// usable.
char* PutJsonString(std::u16string_view text, char* out, JsonSteps steps);
char* PutJsonString(std::u16string_view text, char* out);  // the best steps

}  // namespace tools
