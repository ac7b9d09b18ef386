#include "runtime/cp932_blocks.h"

#include <array>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace ostrel::com::cp932_blocks {

#if defined(__x86_64__)
namespace {

// Only these functions use the instructions; the rest of the build stays
// generic x86-64, and Usable checks the processor before any is called.
#define OSTREL_BLOCK_STEPS __attribute__((target("avx2,bmi,bmi2,popcnt")))

using cp932_table::PairIndex;

constexpr size_t kLanes = 8;  // units packed by one shuffle

// A block with this many pairs is mostly pairs. Three blocks in four of
// Japanese prose hold as many; blocks of memo lines, whose Japanese runs
// are short, hardly ever.
constexpr unsigned kMostlyPairs = 22;

bool IsLead(int byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }
bool IsKatakana(int byte) { return byte >= 0xA1 && byte <= 0xDF; }
constexpr char16_t kKatakanaShift = 0xFF61 - 0xA1;

// For each set of eight 16-bit lanes (a bit each), the byte shuffle that
// moves the lanes that are set to the front, in order.
using Shuffle = std::array<uint8_t, 16>;
constexpr std::array<Shuffle, 256> PackShuffles() {
  std::array<Shuffle, 256> shuffles{};
  for (size_t mask = 0; mask < shuffles.size(); ++mask) {
    shuffles[mask].fill(0x80);  // a lane past the packed ones is cleared
    size_t packed = 0;
    for (size_t lane = 0; lane < kLanes; ++lane) {
      if ((mask >> lane & 1) == 0) continue;
      shuffles[mask][2 * packed] = static_cast<uint8_t>(2 * lane);
      shuffles[mask][2 * packed + 1] = static_cast<uint8_t>(2 * lane + 1);
      ++packed;
    }
  }
  return shuffles;
}
alignas(16) constexpr std::array<Shuffle, 256> kPack = PackShuffles();

// A block's 64 bytes in two halves.
struct Block {
  __m256i low;
  __m256i high;
};

// One bit per byte of FLAGS (all ones or all zeros per byte), the block's
// first byte lowest.
OSTREL_BLOCK_STEPS inline uint64_t Bits(__m256i low, __m256i high) {
  return static_cast<uint32_t>(_mm256_movemask_epi8(low)) |
         static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(high))) << 32;
}

// The bytes from FIRST to LAST, compared as signed bytes.
OSTREL_BLOCK_STEPS inline __m256i Between(__m256i bytes, int first, int last) {
  const __m256i above = _mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(static_cast<char>(first - 1)));
  return _mm256_and_si256(above, _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(last + 1)), bytes));
}

OSTREL_BLOCK_STEPS inline uint64_t BitsBetween(const Block& block, uint8_t first, uint8_t last) {
  const int from = static_cast<int8_t>(first), to = static_cast<int8_t>(last);
  return Bits(Between(block.low, from, to), Between(block.high, from, to));
}

OSTREL_BLOCK_STEPS inline uint64_t BitsEqual(const Block& block, char byte) {
  const __m256i wanted = _mm256_set1_epi8(byte);
  return Bits(_mm256_cmpeq_epi8(block.low, wanted), _mm256_cmpeq_epi8(block.high, wanted));
}

// The second bytes of the pairs among the lead-class bytes LEADS: in a run
// of them the first, third, ... each take the byte after it, as escaped
// characters follow backslashes. CARRY says that the block's first byte is
// the second byte of a pair the block before began, and is set for the next
// block. LEADS keeps the lead bytes that start a pair in this block.
inline uint64_t SecondBytes(uint64_t& leads, uint64_t& carry) {
  constexpr uint64_t kEven = 0x5555555555555555;
  const uint64_t lead = leads & ~carry;
  const uint64_t follows = lead << 1 | carry;
  const uint64_t oddStarts = lead & ~kEven & ~follows;
  uint64_t evenStarted;
  carry = __builtin_add_overflow(oddStarts, lead, &evenStarted);
  const uint64_t seconds = (kEven ^ evenStarted << 1) & follows;
  leads = lead & ~seconds;
  return seconds;
}

// Every byte widened to a unit.
OSTREL_BLOCK_STEPS inline void WidenAll(const Block& block, char16_t* out) {
  auto* const units = reinterpret_cast<__m256i*>(out);
  _mm256_storeu_si256(units, _mm256_cvtepu8_epi16(_mm256_castsi256_si128(block.low)));
  _mm256_storeu_si256(units + 1, _mm256_cvtepu8_epi16(_mm256_extracti128_si256(block.low, 1)));
  _mm256_storeu_si256(units + 2, _mm256_cvtepu8_epi16(_mm256_castsi256_si128(block.high)));
  _mm256_storeu_si256(units + 3, _mm256_cvtepu8_epi16(_mm256_extracti128_si256(block.high, 1)));
}

// The KEPT bytes of IN widened and packed to the front of OUT, eight at a
// time; half-width katakana become their units on the way. Each store writes
// eight units, past the packed ones too.
OSTREL_BLOCK_STEPS inline void Pack(const unsigned char* in, uint64_t kept, bool katakana, char16_t* out) {
  const __m128i beforeKatakana = _mm_set1_epi16(0xA0), afterKatakana = _mm_set1_epi16(0xE0);
  const __m128i shift = _mm_set1_epi16(static_cast<short>(kKatakanaShift));
  for (size_t group = 0; group < kBlockSize / kLanes; ++group) {
    const unsigned lanes = static_cast<unsigned>(kept >> (kLanes * group)) & 0xFF;
    __m128i units = _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + kLanes * group)));
    if (katakana) {
      const __m128i isKatakana =
          _mm_and_si128(_mm_cmpgt_epi16(units, beforeKatakana), _mm_cmpgt_epi16(afterKatakana, units));
      units = _mm_add_epi16(units, _mm_and_si128(isKatakana, shift));
    }
    units = _mm_shuffle_epi8(units, _mm_load_si128(reinterpret_cast<const __m128i*>(kPack[lanes].data())));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
    out += _mm_popcnt_u32(lanes);
  }
}

// Each pair's unit, put where its lead byte's unit was packed. False when a
// lead byte's next byte does not complete it.
OSTREL_BLOCK_STEPS inline bool LookUpPairs(const uint32_t* steps, const unsigned char* in, uint64_t leads,
                                           uint64_t kept, char16_t* out) {
  uint64_t places = _pext_u64(leads, kept);
  uint32_t seen = 0;
  while (leads != 0) {
    const uint32_t step = steps[PairIndex(in + _tzcnt_u64(leads))];
    out[_tzcnt_u64(places)] = static_cast<char16_t>(step);
    seen |= step;
    leads = _blsr_u64(leads);
    places = _blsr_u64(places);
  }
  return (seen & cp932_table::Step(0, 1)) == 0;
}

// The places in the block's units of its CR and LF units, from AT on.
OSTREL_BLOCK_STEPS inline size_t NoteLineEnds(const Block& block, uint64_t kept, uint32_t at, uint32_t* lineEnds) {
  uint64_t ends = (BitsEqual(block, '\r') | BitsEqual(block, '\n')) & kept;
  size_t count = 0;
  while (ends != 0) {
    lineEnds[count++] = at + static_cast<uint32_t>(_mm_popcnt_u64(_bzhi_u64(kept, _tzcnt_u64(ends))));
    ends = _blsr_u64(ends);
  }
  return count;
}

template <bool kLineEnds>
OSTREL_BLOCK_STEPS Progress DecodeBlocks(const uint32_t* steps, const unsigned char* in, const unsigned char* end,
                                         const char16_t* origin, char16_t* written, uint32_t* lineEnds) {
  size_t ends = 0;
  uint64_t carry = 0;
  for (; static_cast<size_t>(end - in) > kBlockSize; in += kBlockSize) {
    const Block block{_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in)),
                      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 32))};
    const uint64_t above = Bits(block.low, block.high);
    uint64_t kept = ~uint64_t{0};
    if ((above | carry) == 0) {
      WidenAll(block, written);
    } else {
      const uint64_t katakana = BitsBetween(block, 0xA1, 0xDF);
      uint64_t leads = BitsBetween(block, 0x81, 0x9F) | BitsBetween(block, 0xE0, 0xFC);
      const uint64_t noCharacter = above & ~leads & ~katakana;
      const uint64_t carried = carry;
      kept = ~SecondBytes(leads, carry);
      if ((noCharacter & kept) != 0) return {in + carried, written, ends, false};
      if (_mm_popcnt_u64(leads) >= kMostlyPairs) return {in + carried, written, ends, true};
      Pack(in, kept, katakana != 0, written);
      if (!LookUpPairs(steps, in, leads, kept, written)) return {in + carried, written, ends, false};
    }
    if constexpr (kLineEnds) ends += NoteLineEnds(block, kept, static_cast<uint32_t>(written - origin), lineEnds + ends);
    written += _mm_popcnt_u64(kept);
  }
  return {in + carry, written, ends, false};
}

}  // namespace

bool Usable(const Cp932Decoder::Table& table) {
  __builtin_cpu_init();
  if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("bmi") || !__builtin_cpu_supports("bmi2") ||
      !__builtin_cpu_supports("popcnt")) {
    return false;
  }
  for (int byte = 0; byte < 256; ++byte) {
    if (table.lead[byte] != IsLead(byte)) return false;
    if (byte < 0x80 && table.single[byte] != byte) return false;
    if (IsKatakana(byte) && table.single[byte] != byte + kKatakanaShift) return false;
  }
  return true;
}

Progress Decode(const Cp932Decoder::Table& table, const unsigned char* in, const unsigned char* end,
                const char16_t* origin, char16_t* out, uint32_t* lineEnds) {
  return lineEnds != nullptr ? DecodeBlocks<true>(table.steps.data(), in, end, origin, out, lineEnds)
                             : DecodeBlocks<false>(table.steps.data(), in, end, origin, out, nullptr);
}

#else

bool Usable(const Cp932Decoder::Table&) { return false; }

Progress Decode(const Cp932Decoder::Table&, const unsigned char* in, const unsigned char*, const char16_t*, char16_t* out,
                uint32_t*) {
  return {in, out, 0, false};
}

#endif

}  // namespace ostrel::com::cp932_blocks
