#include "runtime/unit_search.h"

namespace ostrel::com {
namespace {

char16_t FoldedKeyUnit(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
  if (c >= u'ａ' && c <= u'ｚ') return static_cast<char16_t>(c - u'ａ' + u'Ａ');
  return c;
}

}  // namespace

bool KeysEqual(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldedKeyUnit(a[i]) != FoldedKeyUnit(b[i])) return false;
  }
  return true;
}

std::u16string FoldedKey(std::u16string_view key) {
  std::u16string folded(key);
  for (char16_t& c : folded) c = FoldedKeyUnit(c);
  return folded;
}

}  // namespace ostrel::com
