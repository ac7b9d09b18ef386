#include "platform/unit_search.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace platform {
namespace {

constexpr std::size_t kNotFound = std::u16string_view::npos;
constexpr std::size_t kUnitsPerWord = sizeof(uint64_t) / sizeof(char16_t);
constexpr uint64_t kLowBits = 0x0001000100010001;
constexpr uint64_t kHighBits = 0x8000800080008000;

uint64_t Repeated(char16_t unit) { return kLowBits * unit; }

// The high bit of each zero unit of WORD is set. Units above the first zero
// may be marked wrongly (the subtraction borrows), never the first itself.
uint64_t ZeroUnits(uint64_t word) { return (word - kLowBits) & ~word & kHighBits; }

// The place in its word of the first unit that MARKS flags.
std::size_t FirstMarked(uint64_t marks) {
  const int bit = std::endian::native == std::endian::little ? std::countr_zero(marks) : std::countl_zero(marks);
  return static_cast<std::size_t>(bit) / 16;
}

// The first unit from FROM on for which MARKS(word) flags a unit, or
// IS_WANTED(unit) holds for the units that do not fill a whole word.
template <class Marks, class IsWanted>
std::size_t Search(std::u16string_view text, std::size_t from, Marks marks, IsWanted isWanted) {
  std::size_t at = from;
  for (; at + kUnitsPerWord <= text.size(); at += kUnitsPerWord) {
    uint64_t word;
    std::memcpy(&word, text.data() + at, sizeof word);
    if (const uint64_t found = marks(word)) return at + FirstMarked(found);
  }
  for (; at < text.size(); ++at) {
    if (isWanted(text[at])) return at;
  }
  return kNotFound;
}

}  // namespace

std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from) {
  const uint64_t pattern = Repeated(unit);
  return Search(
      text, from, [pattern](uint64_t word) { return ZeroUnits(word ^ pattern); },
      [unit](char16_t c) { return c == unit; });
}

// The lowest flag of either half is exact, so the lowest of both is too.
std::size_t FindEitherUnit(std::u16string_view text, char16_t a, char16_t b, std::size_t from) {
  const uint64_t patternA = Repeated(a);
  const uint64_t patternB = Repeated(b);
  return Search(
      text, from, [=](uint64_t word) { return ZeroUnits(word ^ patternA) | ZeroUnits(word ^ patternB); },
      [=](char16_t c) { return c == a || c == b; });
}

std::size_t FindMark(std::u16string_view text, std::u16string_view mark, std::size_t from) {
  for (std::size_t at = from; (at = FindUnit(text, mark.front(), at)) != kNotFound; ++at) {
    if (text.substr(at).starts_with(mark)) return at;
  }
  return kNotFound;
}

}  // namespace platform
