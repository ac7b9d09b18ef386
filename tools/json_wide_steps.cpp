#include "tools/json_wide_steps.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tools/json_unit.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tools::json_wide_steps {

#if defined(__x86_64__)
namespace {

// Only these functions use the instructions; the rest of the build stays
// generic x86-64, and Usable checks the processor before any is called.
#define OSTREL_WIDE_STEPS __attribute__((target("avx2")))
// A step is inlined in each loop, which then sets up its constants once.
#define OSTREL_WIDE_STEP_INLINE __attribute__((target("avx2"), always_inline)) inline

constexpr std::size_t kStep = 16;
constexpr std::size_t kLane = 4;  // units whose words one shuffle packs

// A unit's JSON length, 0 to 3, in two bits a unit of a lane; 0 is a unit
// the step does not write. For each lane's lengths, the shuffle that packs
// the first bytes of its four-byte words together, and their sum.
struct LanePacking {
  std::array<std::array<uint8_t, 16>, 256> shuffles;
  std::array<uint8_t, 256> lengths;
};

constexpr LanePacking MakeLanePacking() {
  LanePacking packing{};
  for (std::size_t codes = 0; codes < 256; ++codes) {
    packing.shuffles[codes].fill(0x80);
    uint8_t packed = 0;
    for (std::size_t unit = 0; unit < kLane; ++unit) {
      const std::size_t length = codes >> 2 * unit & 3;
      for (std::size_t byte = 0; byte < length; ++byte) packing.shuffles[codes][packed++] = 4 * unit + byte;
    }
    packing.lengths[codes] = packed;
  }
  return packing;
}

constexpr LanePacking kPacking = MakeLanePacking();

// What each unit of a step is, all ones where it holds. A unit that is none
// of plain, escaped or wide and no other takes two bytes of UTF-8.
struct Kinds {
  __m256i other;    // a control character but CR and LF, or a surrogate
  __m256i plain;    // ASCII that stands for itself
  __m256i escaped;  // '"', '\\', CR or LF, which take a backslash and a letter
  __m256i wide;     // U+0800 up, three bytes in UTF-8 where it is not other
};

OSTREL_WIDE_STEP_INLINE __m256i Set(uint16_t unit) { return _mm256_set1_epi16(static_cast<int16_t>(unit)); }

OSTREL_WIDE_STEP_INLINE __m256i Equal(__m256i units, uint16_t unit) { return _mm256_cmpeq_epi16(units, Set(unit)); }

// All ones where UNITS & BITS is 0.
OSTREL_WIDE_STEP_INLINE __m256i NoneOf(__m256i units, uint16_t bits) {
  return _mm256_cmpeq_epi16(_mm256_and_si256(units, Set(bits)), _mm256_setzero_si256());
}

OSTREL_WIDE_STEP_INLINE Kinds KindsOf(__m256i units) {
  const __m256i lineEnd = _mm256_or_si256(Equal(units, u'\r'), Equal(units, u'\n'));
  const __m256i escaped = _mm256_or_si256(lineEnd, _mm256_or_si256(Equal(units, u'"'), Equal(units, u'\\')));
  const __m256i top = _mm256_and_si256(units, Set(0xF800));
  const __m256i control = _mm256_andnot_si256(lineEnd, NoneOf(units, 0xFFE0));
  const __m256i surrogate = Equal(top, 0xD800);
  return {_mm256_or_si256(control, surrogate), _mm256_andnot_si256(escaped, NoneOf(units, 0xFF80)), escaped,
          _mm256_xor_si256(Equal(top, 0), Set(0xFFFF))};
}

// The first two bytes of each unit's JSON, the first lowest. An escape's
// letter is looked up by the low four bits of the unit: '"', '\\', CR and LF
// differ there, and looking up the unit moved to the high byte gives the
// backslash for the low byte (index 0) at the same time.
OSTREL_WIDE_STEP_INLINE __m256i FirstTwoBytes(__m256i units, const Kinds& kinds) {
  const __m128i letters = _mm_setr_epi8('\\', 0, '"', 0, 0, 0, 0, 0, 0, 0, 'n', 0, '\\', 'r', 0, 0);
  const __m256i escape = _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(letters), _mm256_slli_epi16(units, 8));
  const __m256i wide = _mm256_or_si256(_mm256_or_si256(_mm256_srli_epi16(units, 12),
                                                       _mm256_and_si256(_mm256_slli_epi16(units, 2), Set(0x3F00))),
                                       Set(0x80E0));
  const __m256i twoBytes = _mm256_or_si256(
      _mm256_or_si256(_mm256_srli_epi16(units, 6), _mm256_and_si256(_mm256_slli_epi16(units, 8), Set(0x3F00))),
      Set(0x80C0));
  const __m256i beyondAscii = _mm256_blendv_epi8(twoBytes, wide, kinds.wide);
  return _mm256_blendv_epi8(_mm256_blendv_epi8(beyondAscii, escape, kinds.escaped), units, kinds.plain);
}

OSTREL_WIDE_STEP_INLINE __m256i ThirdBytes(__m256i units, const Kinds& kinds) {
  const __m256i last = _mm256_or_si256(_mm256_and_si256(units, Set(0x3F)), Set(0x80));
  return _mm256_and_si256(last, kinds.wide);
}

// Each unit's JSON length in two bits, the first unit lowest: the low bit is
// set for a plain or wide unit, the high bit for any but a plain one. Taken
// from the top bits of the units' bytes in one move.
OSTREL_WIDE_STEP_INLINE uint32_t LengthCodes(const Kinds& kinds) {
  const __m256i odd = _mm256_and_si256(_mm256_or_si256(kinds.plain, kinds.wide), Set(0x0080));
  const __m256i long_ = _mm256_andnot_si256(kinds.plain, Set(0x8000));
  return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_or_si256(odd, long_)));
}

// Stores the packed bytes of a lane, whose length codes are CODES, at OUT.
OSTREL_WIDE_STEP_INLINE char* PutLane(__m128i words, uint32_t codes, char* out) {
  const __m128i shuffle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPacking.shuffles[codes].data()));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(words, shuffle));
  return out + kPacking.lengths[codes];
}

// Each unit's JSON in a four-byte word, packed lane by lane. The words of
// units 0-3 and 8-11 are interleaved in one register, 4-7 and 12-15 in the
// other, as AVX2 interleaves within halves.
OSTREL_WIDE_STEP_INLINE char* PutWords(__m256i units, const Kinds& kinds, uint32_t codes, char* out) {
  const __m256i first = FirstTwoBytes(units, kinds), third = ThirdBytes(units, kinds);
  const __m256i low = _mm256_unpacklo_epi16(first, third), high = _mm256_unpackhi_epi16(first, third);
  out = PutLane(_mm256_castsi256_si128(low), codes & 0xFF, out);
  out = PutLane(_mm256_castsi256_si128(high), codes >> 8 & 0xFF, out);
  out = PutLane(_mm256_extracti128_si256(low, 1), codes >> 16 & 0xFF, out);
  return PutLane(_mm256_extracti128_si256(high, 1), codes >> 24, out);
}

// Writes the units of a step whose length codes are CODES, COUNT of them
// with a code that is not 0. Each lane stores sixteen bytes, at most three
// a unit written before it, which with the room of six a unit written and
// the spill JsonStringRoom allows stays within the room. A run of plain
// ASCII from the step's start (FROM_START) is narrowed to bytes at once.
OSTREL_WIDE_STEP_INLINE char* PutCodes(__m256i units, const Kinds& kinds, uint32_t codes, bool fromStart,
                                       std::size_t count, char* out) {
  if (!(codes & 0xAAAAAAAA) && fromStart) {
    const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(units), _mm256_extracti128_si256(units, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    return out + count;
  }
  return PutWords(units, kinds, codes, out);
}

// The sixteen UNITS, of which the first SKIPPED are done: writes the run
// from there of units that are no other at OUT, and sets KEPT to its length.
OSTREL_WIDE_STEP_INLINE char* PutStep(__m256i units, std::size_t skipped, std::size_t& kept, char* out) {
  const Kinds kinds = KindsOf(units);
  const uint32_t simple = ~static_cast<uint32_t>(_mm256_movemask_epi8(kinds.other)) >> 2 * skipped;
  kept = static_cast<std::size_t>(std::countr_one(simple)) / 2;
  if (!kept) return out;
  const uint32_t codes = LengthCodes(kinds) & (simple & ~(simple + 1)) << 2 * skipped;
  return PutCodes(units, kinds, codes, !skipped, kept, out);
}

// A step over UNITS of TEXT, from I - SKIPPED on, or the unit at I alone
// when the step takes none.
OSTREL_WIDE_STEP_INLINE char* PutStepOrUnit(std::u16string_view text, __m256i units, std::size_t skipped,
                                            std::size_t& i, char* out) {
  std::size_t kept = 0;
  char* const end = PutStep(units, skipped, kept, out);
  if (!kept) return json_unit::PutUnit(text, i, out);
  i += kept;
  return end;
}

// The units of a text shorter than a step, and U+0000 after them, which
// ends every run as a control character does. The load leaves out the pairs
// of units past the text, so nothing beyond it is read; an odd last unit is
// put in on its own.
OSTREL_WIDE_STEP_INLINE __m256i LoadShortText(std::u16string_view text) {
  static constexpr int32_t kPairsWindow[2 * kStep / 2] = {-1, -1, -1, -1, -1, -1, -1, -1};
  static constexpr int16_t kLastWindow[2 * kStep] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1};
  const std::size_t n = text.size();
  const __m256i pairs =
      _mm256_maskload_epi32(reinterpret_cast<const int*>(text.data()),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kPairsWindow + kStep / 2 - n / 2)));
  const __m256i last = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kLastWindow + kStep - n));
  return _mm256_blendv_epi8(pairs, _mm256_set1_epi16(static_cast<int16_t>(text[n - 1])), last);
}

OSTREL_WIDE_STEP_INLINE __m256i Load(std::u16string_view text, std::size_t at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text.data() + at));
}

// The COUNT units of UNITS from SKIPPED on, written at once unless one of
// them is other; false when one is, and then nothing is written.
OSTREL_WIDE_STEP_INLINE bool PutWhole(__m256i units, std::size_t skipped, std::size_t count, char*& out) {
  const Kinds kinds = KindsOf(units);
  const uint32_t mine =
      static_cast<uint32_t>((uint64_t{1} << 2 * (skipped + count)) - 1) & ~uint32_t{0} << 2 * skipped;
  if (static_cast<uint32_t>(_mm256_movemask_epi8(kinds.other)) & mine) return false;
  out = PutCodes(units, kinds, LengthCodes(kinds) & mine, !skipped, count, out);
  return true;
}

OSTREL_WIDE_STEPS char* PutShortText(std::u16string_view text, char* out) {
  const __m256i units = LoadShortText(text);
  if (PutWhole(units, 0, text.size(), out)) return out;
  for (std::size_t i = 0; i < text.size();) out = PutStepOrUnit(text, units, i, i, out);
  return out;
}

}  // namespace

bool Usable() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

// Steps with no unit left to PutUnit, nearly all, are written whole: they
// go on without waiting to learn how many units each kept, and the last,
// which ends with the text, skips the units done. From the first step that
// has such a unit on, the text goes a run or a unit at a time.
OSTREL_WIDE_STEPS char* PutUnits(std::u16string_view text, char* out) {
  const std::size_t n = text.size();
  if (n == 0) return out;
  if (n < kStep) return PutShortText(text, out);
  std::size_t i = 0;
  for (; i + kStep <= n; i += kStep) {
    if (!PutWhole(Load(text, i), 0, kStep, out)) break;
  }
  if (i == n || (i + kStep > n && PutWhole(Load(text, n - kStep), i - (n - kStep), n - i, out))) return out;
  while (i < n) {
    const std::size_t at = std::min(i, n - kStep);
    out = PutStepOrUnit(text, Load(text, at), i - at, i, out);
  }
  return out;
}

#else

bool Usable() { return false; }

char* PutUnits(std::u16string_view text, char* out) {
  for (std::size_t i = 0; i < text.size();) out = json_unit::PutUnit(text, i, out);
  return out;
}

#endif

}  // namespace tools::json_wide_steps
