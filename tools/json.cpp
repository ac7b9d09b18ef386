#include "tools/json.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tools/json_unit.h"
#include "tools/json_wide_steps.h"

namespace tools {

namespace {

using json_unit::PutUnit;

// Eight units side by side, and what comparing them gives. Constants are
// 16-bit, as clang compares vectors only with elements of their own width.
constexpr std::size_t kStep = 8;
using Units = uint16_t __attribute__((vector_size(kStep * sizeof(uint16_t))));
using SignedUnits = int16_t __attribute__((vector_size(kStep * sizeof(int16_t))));
using UnitFlags = SignedUnits;  // all ones where a comparison holds
using Bytes = uint8_t __attribute__((vector_size(kStep)));

constexpr uint16_t U(uint16_t unit) { return unit; }

// Eight bytes as a number whose lowest byte comes first in memory.
uint64_t InOrder(Bytes bytes) {
  uint64_t number;
  std::memcpy(&number, &bytes, sizeof number);
  return std::endian::native == std::endian::little ? number : __builtin_bswap64(number);
}

void PutInOrder(uint64_t number, char* out) {
  if (std::endian::native == std::endian::big) number = __builtin_bswap64(number);
  std::memcpy(out, &number, sizeof number);
}

// A byte a unit of FLAGS, 0xFF where it is set, the first unit lowest.
uint64_t Packed(UnitFlags flags) { return InOrder(__builtin_convertvector(flags, Bytes)); }

// What each unit of a step is, for the step's way of writing it.
struct Kinds {
  UnitFlags other;    // goes on its own: a control character but CR and LF,
                      // U+0080..U+07FF or a surrogate
  UnitFlags escaped;  // '"', '\\', CR or LF, which take a backslash and a letter
  UnitFlags wide;     // three bytes in UTF-8 where it is not another: U+0800
                      // up, as most Japanese text
};

// Each range FROM..TO is tested with one signed comparison, after an
// addition that moves it to the top of the signed range.
Kinds KindsOf(Units units) {
  const auto Within = [&](uint16_t from, uint16_t to) {
    return reinterpret_cast<SignedUnits>(units + U(0x8000 - to)) >= static_cast<int16_t>(0x8000 - to + from);
  };
  const UnitFlags lineEnd = (units == U(u'\r')) | (units == U(u'\n'));
  const Units top = units & U(0xF800);
  return {(Within(0, 0x20) & ~lineEnd) | Within(0x80, 0x800) | (top == U(0xD800)),
          lineEnd | (units == U(u'"')) | (units == U(u'\\')), ~(top == U(0))};
}

// The JSON of each unit of KINDS, in the first bytes of a word as memory
// holds it: the same bytes as PutUnit writes, eight units at once.
void Words(Units units, const Kinds& kinds, uint32_t (&words)[kStep]) {
  constexpr bool kLittle = std::endian::native == std::endian::little;
  const auto Pair = [](Units first, Units second) { return kLittle ? first | second << 8 : first << 8 | second; };
  const Units wide = reinterpret_cast<Units>(kinds.wide);
  const Units escaped = reinterpret_cast<Units>(kinds.escaped);
  const Units cr = reinterpret_cast<Units>(units == U(u'\r'));
  const Units lf = reinterpret_cast<Units>(units == U(u'\n'));
  const Units letter = (units & ~(cr | lf)) | (cr & U('r')) | (lf & U('n'));
  const Units lead = units >> 12 | U(0xE0);
  const Units middle = (units >> 6 & U(0x3F)) | U(0x80);
  const Units last = (units & U(0x3F)) | U(0x80);
  const Units firstTwo = (Pair(lead, middle) & wide) | (Pair(Units{} + U('\\'), letter) & escaped) |
                         ((kLittle ? units : units << 8) & ~(wide | escaped));
  const Units third = (kLittle ? last : last << 8) & wide;
  const Units low = __builtin_shufflevector(firstTwo, third, 0, 8, 1, 9, 2, 10, 3, 11);
  const Units high = __builtin_shufflevector(firstTwo, third, 4, 12, 5, 13, 6, 14, 7, 15);
  std::memcpy(words, &low, sizeof low);
  std::memcpy(words + kStep / 2, &high, sizeof high);
}

// The units from I on, with the eight from AT (AT <= I < AT + 8) side by
// side. The run from I of units that stand for themselves, take a short
// escape or take three bytes, in any mix, is written a word a unit, each
// where the one before ends; the step's other units are written too, but
// count for no length, so what follows overwrites them. That is at most
// three bytes a unit kept and four more, within the room of the units kept.
// A run of plain ASCII alone is narrowed to eight bytes at once, which fit
// where two units are left. A unit that begins no run goes on its own.
char* PutStep(std::u16string_view text, std::size_t at, std::size_t& i, char* out) {
  Units units;
  std::memcpy(&units, text.data() + at, sizeof units);
  const std::size_t skipped = i - at;
  const Kinds kinds = KindsOf(units);
  const uint64_t simple = ~Packed(kinds.other) >> 8 * skipped;
  const std::size_t kept = static_cast<std::size_t>(std::countr_one(simple)) / 8;
  if (!kept) return PutUnit(text, i, out);
  const std::size_t left = text.size() - i;
  i += kept;
  const uint64_t run = (simple & ~(simple + 1)) << 8 * skipped;  // 0xFF a unit kept
  const uint64_t wideKept = Packed(kinds.wide) & run;
  const uint64_t escapedKept = Packed(kinds.escaped) & run;
  if (!(wideKept | escapedKept) && left >= 2) {
    PutInOrder(InOrder(__builtin_convertvector(units, Bytes)) >> 8 * skipped, out);
    return out + kept;
  }
  constexpr uint64_t kOnes = 0x0101010101010101;
  const uint64_t lengths = (run & kOnes) + (escapedKept & kOnes) + (wideKept & 2 * kOnes);
  uint32_t words[kStep];
  Words(units, kinds, words);
  for (std::size_t k = 0; k < kStep; ++k) {
    std::memcpy(out, &words[k], sizeof words[k]);
    out += lengths >> 8 * k & 0xFF;
  }
  return out;
}

// One pass, eight units a step; the last step of a text ends with the text
// and skips the units done. A text shorter than a step goes a unit at a time.
char* PutUnitsInSteps(std::u16string_view text, char* out) {
  std::size_t i = 0;
  if (text.size() >= kStep) {
    while (i < text.size()) out = PutStep(text, std::min(i, text.size() - kStep), i, out);
  } else {
    while (i < text.size()) out = PutUnit(text, i, out);
  }
  return out;
}

}  // namespace

bool JsonStepsUsable(JsonSteps steps) { return steps == JsonSteps::kEightUnits || json_wide_steps::Usable(); }

namespace {

JsonSteps ChooseSteps() {
  return secure_getenv("OSTREL_JSON_BY_EIGHT_UNITS") == nullptr && JsonStepsUsable(JsonSteps::kSixteenUnits)
             ? JsonSteps::kSixteenUnits
             : JsonSteps::kEightUnits;
}

// Chosen as the program starts, so that each text costs no check of a
// first use. Read before that, it is zero: eight units, which any
// processor takes.
const JsonSteps bestSteps = ChooseSteps();

[[gnu::always_inline]] inline char* PutQuoted(std::u16string_view text, char* out, JsonSteps steps) {
  *out++ = '"';
  out = steps == JsonSteps::kSixteenUnits ? json_wide_steps::PutUnits(text, out) : PutUnitsInSteps(text, out);
  *out++ = '"';
  return out;
}

}  // namespace

JsonSteps BestJsonSteps() { return bestSteps; }

char* PutJsonString(std::u16string_view text, char* out, JsonSteps steps) { return PutQuoted(text, out, steps); }

char* PutJsonString(std::u16string_view text, char* out) { return PutQuoted(text, out, bestSteps); }

std::string JsonString(std::u16string_view text, JsonSteps steps) {
  std::string json(JsonStringRoom(text.size()), '\0');
  json.resize(static_cast<std::size_t>(PutJsonString(text, json.data(), steps) - json.data()));
  return json;
}

}  // namespace tools
