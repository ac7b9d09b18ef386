// Finding given UTF-16 units in a text, several units per step.
//
// Reading a file spends much of its time looking for line ends and for the
// marks of tags; the standard library's search looks at one unit at a time.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// The index of the first UNIT at or after FROM; npos when there is none.
std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from = 0);

// The index of the first A or B at or after FROM; npos when there is none.
std::size_t FindEitherUnit(std::u16string_view text, char16_t a, char16_t b, std::size_t from = 0);

// The index of the first MARK (not empty) at or after FROM; npos when there
// is none.
std::size_t FindMark(std::u16string_view text, std::u16string_view mark, std::size_t from = 0);

}  // namespace platform
