// MemoGenerator: seeded random memos for round-trip tests.
//
// OrdinaryMemo is what people write: Japanese and ASCII words, empty titles
// and bodies, bodies with "<", ">", quotation marks and CR LF line breaks.
// AnyMemo also mixes in what the memo file cannot carry: entity references,
// lone CR and LF, tabs, NUL, blanks at line starts, characters without a
// Shift-JIS form or sharing one with another character.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "memoapp/memo_store.h"

class MemoGenerator {
 public:
  explicit MemoGenerator(uint32_t seed) : random_(seed) {}

  CMemoData OrdinaryMemo();
  CMemoData AnyMemo();
  // Zero to nine ordinary memos.
  std::vector<CMemoData> OrdinaryTable();

 private:
  std::u16string OrdinaryBody();
  std::u16string Text(const std::vector<std::u16string_view>& pieces, int longest);
  bool OneIn(int n);

  std::mt19937 random_;
};
