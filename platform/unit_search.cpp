#include "platform/unit_search.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace ostrel::com {
namespace {

constexpr std::size_t kNotFound = std::u16string_view::npos;

// Eight units side by side; the compiler turns the operations on them into
// the machine's vector instructions where it has them.
constexpr std::size_t kUnitsPerStep = 8;
using Units = uint16_t __attribute__((vector_size(kUnitsPerStep * sizeof(uint16_t))));
using UnitMatches = int16_t __attribute__((vector_size(kUnitsPerStep * sizeof(int16_t))));  // what == gives
using UnitFlags = int8_t __attribute__((vector_size(kUnitsPerStep)));

// A byte per unit of MATCHES (all ones or all zeros per unit), the first
// unit in the lowest place on either byte order.
uint64_t Packed(UnitMatches matches) {
  const UnitFlags flags = __builtin_convertvector(matches, UnitFlags);
  uint64_t packed;
  std::memcpy(&packed, &flags, sizeof packed);
  return std::endian::native == std::endian::little ? packed : __builtin_bswap64(packed);
}

// The bytes of PACKED that stand for the first SKIPPED units cleared.
uint64_t Skipping(uint64_t packed, std::size_t skipped) { return packed & (~uint64_t{0} << (skipped * 8)); }

// The first unit from FROM on that equals one of WANTED. The units that do
// not fill a whole step are looked at in one last step that ends with the
// text and skips the units already looked at.
template <class... Wanted>
std::size_t Search(std::u16string_view text, std::size_t from, Wanted... wanted) {
  const auto found = [&](std::size_t at) {
    Units step;
    std::memcpy(&step, text.data() + at, sizeof step);
    return Packed(((step == static_cast<uint16_t>(wanted)) | ...));
  };
  std::size_t at = from;
  for (; at + kUnitsPerStep <= text.size(); at += kUnitsPerStep) {
    if (const uint64_t flags = found(at)) return at + static_cast<std::size_t>(std::countr_zero(flags)) / 8;
  }
  if (at >= text.size()) return kNotFound;
  if (text.size() >= kUnitsPerStep) {
    const std::size_t last = text.size() - kUnitsPerStep;
    const uint64_t flags = Skipping(found(last), at - last);
    return flags ? last + static_cast<std::size_t>(std::countr_zero(flags)) / 8 : kNotFound;
  }
  for (; at < text.size(); ++at) {
    if (((text[at] == wanted) || ...)) return at;
  }
  return kNotFound;
}

char16_t FoldedKeyUnit(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
  if (c >= u'ａ' && c <= u'ｚ') return static_cast<char16_t>(c - u'ａ' + u'Ａ');
  return c;
}

}  // namespace

std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from) { return Search(text, from, unit); }

std::size_t FindEitherUnit(std::u16string_view text, char16_t a, char16_t b, std::size_t from) {
  return Search(text, from, a, b);
}

std::size_t FindAnyUnit(std::u16string_view text, char16_t a, char16_t b, char16_t c, std::size_t from) {
  return Search(text, from, a, b, c);
}

std::size_t FindMark(std::u16string_view text, std::u16string_view mark, std::size_t from) {
  for (std::size_t at = from; (at = FindUnit(text, mark.front(), at)) != kNotFound; ++at) {
    if (StartsWithUnits(text.substr(at), mark)) return at;
  }
  return kNotFound;
}

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
