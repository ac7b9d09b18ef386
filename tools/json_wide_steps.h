// A text's JSON made sixteen units a step with AVX2, for the processors that
// have it.
//
// A step classifies its units at once, makes each unit's UTF-8 or short
// escape in a four-byte word, and packs the words' bytes together four units
// at a time with one shuffle. It takes the units that stand for themselves,
// take a short escape or take two or three bytes, in any mix; a control
// character (but CR and LF) or a surrogate it leaves to json_unit::PutUnit.
#pragma once

#include <string_view>

namespace tools::json_wide_steps {

// True when this processor has AVX2.
bool Usable();

// Writes the JSON of TEXT's units, without the quotes, at OUT, which has the
// room JsonStringRoom gives less the quotes, and returns the end. Only when
// Usable.
char* PutUnits(std::u16string_view text, char* out);

}  // namespace tools::json_wide_steps
