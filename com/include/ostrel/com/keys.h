// Keys (of a Collection, of an operation or a class looked up by name) compare
// equal when they differ only in the case of ASCII or full-width Latin
// letters; FoldedKey is the form that equal keys share.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ostrel::com {

constexpr char16_t FoldedKeyUnit(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
  if (c >= u'ａ' && c <= u'ｚ') return static_cast<char16_t>(c - u'ａ' + u'Ａ');
  return c;
}

constexpr bool KeysEqual(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldedKeyUnit(a[i]) != FoldedKeyUnit(b[i])) return false;
  }
  return true;
}

inline std::u16string FoldedKey(std::u16string_view key) {
  std::u16string folded(key);
  for (char16_t& c : folded) c = FoldedKeyUnit(c);
  return folded;
}

}  // namespace ostrel::com
