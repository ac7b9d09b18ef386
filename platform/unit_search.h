// Finding and comparing UTF-16 units, several units per step.
//
// Reading a file spends much of its time looking for line ends and for the
// marks of tags, and comparing names; the standard library's char16_t
// traits look at one unit at a time, even when only equality is asked.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ostrel::com {

// The index of the first UNIT at or after FROM; npos when there is none.
std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from = 0);

// The index of the first A or B at or after FROM; npos when there is none.
std::size_t FindEitherUnit(std::u16string_view text, char16_t a, char16_t b, std::size_t from = 0);

// The index of the first A, B or C at or after FROM; npos when there is none.
std::size_t FindAnyUnit(std::u16string_view text, char16_t a, char16_t b, char16_t c, std::size_t from = 0);

// The index of the first MARK (not empty) at or after FROM; npos when there
// is none.
std::size_t FindMark(std::u16string_view text, std::u16string_view mark, std::size_t from = 0);

// Most texts compared are a few units long, which a call to memcmp would
// cost more than.
inline bool SameUnits(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

inline bool StartsWithUnits(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && SameUnits(text.substr(0, prefix.size()), prefix);
}

// Keys (of a Collection, of a member or a class looked up by name) compare
// equal when they differ only in the case of ASCII or full-width Latin
// letters; FoldedKey is the form that equal keys share.
bool KeysEqual(std::u16string_view a, std::u16string_view b);
std::u16string FoldedKey(std::u16string_view key);

}  // namespace ostrel::com
