// Finding and comparing UTF-16 units, several units per step.
//
// Reading a file spends much of its time looking for line ends and for the
// marks of tags, and comparing names; the standard library's char16_t
// traits look at one unit at a time, even when only equality is asked.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ostrel::com {

namespace unit_search_detail {

// Eight units side by side; the compiler turns the operations on them into
// the machine's vector instructions where it has them.
constexpr std::size_t kUnitsPerStep = 8;
using Units = uint16_t __attribute__((vector_size(kUnitsPerStep * sizeof(uint16_t))));
using UnitMatches = int16_t __attribute__((vector_size(kUnitsPerStep * sizeof(int16_t))));  // what == gives
using UnitFlags = int8_t __attribute__((vector_size(kUnitsPerStep)));

#if defined(__SSE2__)
// Two bits per unit of MATCHES (all ones or all zeros per unit), the first
// unit lowest: one instruction where the machine has SSE2.
constexpr std::size_t kBitsPerUnit = 2;
inline uint64_t Packed(UnitMatches matches) {
  return static_cast<uint32_t>(_mm_movemask_epi8(std::bit_cast<__m128i>(matches)));
}
#else
// A byte per unit of MATCHES (all ones or all zeros per unit), the first
// unit in the lowest place on either byte order.
constexpr std::size_t kBitsPerUnit = 8;
inline uint64_t Packed(UnitMatches matches) {
  const UnitFlags flags = __builtin_convertvector(matches, UnitFlags);
  uint64_t packed;
  std::memcpy(&packed, &flags, sizeof packed);
  return std::endian::native == std::endian::little ? packed : __builtin_bswap64(packed);
}
#endif

// The unit whose bits in PACKED are the lowest set.
inline std::size_t FirstIn(uint64_t packed) { return static_cast<std::size_t>(std::countr_zero(packed)) / kBitsPerUnit; }

// The bits of PACKED that stand for the first SKIPPED units cleared.
inline uint64_t Skipping(uint64_t packed, std::size_t skipped) {
  return packed & (~uint64_t{0} << (skipped * kBitsPerUnit));
}

// The first unit from FROM on that equals one of WANTED. The units that do
// not fill a whole step are looked at in one last step that ends with the
// text and skips the units already looked at. Inline: the scanner searches
// for every token, mostly over a few dozen units, where a call costs as much
// as the search.
template <class... Wanted>
[[gnu::always_inline]] inline std::size_t Search(std::u16string_view text, std::size_t from, Wanted... wanted) {
  constexpr std::size_t kNotFound = std::u16string_view::npos;
  const auto found = [&](std::size_t at) {
    Units step;
    std::memcpy(&step, text.data() + at, sizeof step);
    return Packed(((step == static_cast<uint16_t>(wanted)) | ...));
  };
  if (text.size() < kUnitsPerStep) {
    for (std::size_t at = from; at < text.size(); ++at) {
      if (((text[at] == wanted) || ...)) return at;
    }
    return kNotFound;
  }
  const std::size_t last = text.size() - kUnitsPerStep;  // where the last whole step starts
  std::size_t at = from;
  for (; at <= last; at += kUnitsPerStep) {
    if (const uint64_t flags = found(at)) return at + FirstIn(flags);
  }
  if (at >= text.size()) return kNotFound;
  const uint64_t flags = Skipping(found(last), at - last);
  return flags ? last + FirstIn(flags) : kNotFound;
}

}  // namespace unit_search_detail

// The index of the first UNIT at or after FROM; npos when there is none.
[[gnu::always_inline]] inline std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from = 0) {
  return unit_search_detail::Search(text, from, unit);
}

// The index of the first A or B at or after FROM; npos when there is none.
[[gnu::always_inline]] inline std::size_t FindEitherUnit(std::u16string_view text, char16_t a, char16_t b,
                                                      std::size_t from = 0) {
  return unit_search_detail::Search(text, from, a, b);
}

// The index of the first A, B or C at or after FROM; npos when there is none.
[[gnu::always_inline]] inline std::size_t FindAnyUnit(std::u16string_view text, char16_t a, char16_t b, char16_t c,
                                                   std::size_t from = 0) {
  return unit_search_detail::Search(text, from, a, b, c);
}

// Most texts compared are a few units long, which a call to memcmp would
// cost more than. Four units are compared at a time as one 64-bit word, and
// the last word of a text overlaps the one before it instead of ending in a
// loop over single units; texts under four units compare as two overlapping
// halves of that. GCC warns about the word loads where a literal shorter
// than a word makes them dead, so that warning is off here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
[[gnu::always_inline]] inline bool SameUnits(std::u16string_view a, std::u16string_view b) {
  const std::size_t size = a.size();
  if (size != b.size()) return false;
  const auto same = [&](std::size_t at, auto word) {
    decltype(word) wordA, wordB;
    std::memcpy(&wordA, a.data() + at, sizeof wordA);
    std::memcpy(&wordB, b.data() + at, sizeof wordB);
    return wordA == wordB;
  };
  constexpr std::size_t kUnitsPerWord = sizeof(uint64_t) / sizeof(char16_t);
  if (size >= kUnitsPerWord) {
    for (std::size_t i = 0; i + kUnitsPerWord < size; i += kUnitsPerWord) {
      if (!same(i, uint64_t{})) return false;
    }
    return same(size - kUnitsPerWord, uint64_t{});
  }
  if (size >= 2) return same(0, uint32_t{}) && same(size - 2, uint32_t{});
  return size == 0 || a[0] == b[0];
}
#pragma GCC diagnostic pop

inline bool StartsWithUnits(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && SameUnits(text.substr(0, prefix.size()), prefix);
}

// The index of the first MARK of two or more units at or after FROM; npos
// when there is none.
[[gnu::noinline]] inline std::size_t FindLongMark(std::u16string_view text, std::u16string_view mark,
                                                  std::size_t from) {
  for (std::size_t at = from; (at = FindUnit(text, mark.front(), at)) != std::u16string_view::npos; ++at) {
    if (StartsWithUnits(text.substr(at), mark)) return at;
  }
  return std::u16string_view::npos;
}

// The index of the first MARK (not empty) at or after FROM; npos when there
// is none. Most marks are one unit, searched for where the call is.
[[gnu::always_inline]] inline std::size_t FindMark(std::u16string_view text, std::u16string_view mark,
                                                   std::size_t from = 0) {
  return mark.size() == 1 ? FindUnit(text, mark.front(), from) : FindLongMark(text, mark, from);
}

}  // namespace ostrel::com
