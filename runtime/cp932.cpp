#include "runtime/cp932.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <ostrel/com/runtime_error.h>
#include "runtime/cp932_blocks.h"
#include "runtime/cp932_table.h"
#include "runtime/unicode.h"
#include "runtime/unit_search.h"
#include "runtime/utf16.h"

namespace ostrel::com {
namespace {

// "CP932", not "SHIFT_JIS": the latter reads 0x5C as a yen sign, 0x7E as an
// overline and 0x81 0x60 as U+301C, and lacks the NEC and IBM extension rows
// that Japanese text files use.
constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
// The table is filled through code points: one step of the converter where
// UTF-16 takes two, and every character CP932 has is one UTF-16 unit.
constexpr const char* kCodePoints = "WCHAR_T";
static_assert(sizeof(wchar_t) == sizeof(char32_t));

// No UTF-16 unit needs more than two CP932 bytes.
constexpr size_t kMostBytesPerUnit = 2;

[[noreturn]] void RaiseUnavailable(const char* to, const char* from) {
  Raise(errnum::kInternal, FromUtf8(std::string("文字コード変換 ") + from + " → " + to + " を利用できません。"));
}

iconv_t OpenConverter(const char* to, const char* from) {
  const iconv_t descriptor = iconv_open(to, from);
  if (descriptor == reinterpret_cast<iconv_t>(-1)) RaiseUnavailable(to, from);
  return descriptor;
}

std::u16string CodePointName(char32_t code_point) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code_point));
  return FromUtf8(name);
}

}  // namespace

namespace {

using cp932_table::kWidthShift;
using cp932_table::PairIndex;
using cp932_table::Step;

bool IsLineEnd(char16_t unit) { return unit == u'\r' || unit == u'\n'; }

// The one UTF-16 unit of POINT into UNIT; false when it takes two.
bool OneUnit(wchar_t point, char16_t& unit) {
  if (point < 0 || point > 0xFFFF || utf16::IsSurrogate(static_cast<char32_t>(point))) return false;
  unit = static_cast<char16_t>(point);
  return true;
}

// Converts the SIZE bytes at BYTES as far as the converter takes them into
// OUT, which has room for ROOM code points: how many bytes it took and code
// points it made, and whether it stopped at bytes it refuses (EILSEQ) or at a
// character that they leave incomplete (EINVAL). Neither CP932 nor code
// points keep a state from one character to the next, so a stop needs no
// reset before the next call.
struct Conversion {
  size_t bytesTaken;
  size_t pointsMade;
  int stop;
};

Conversion Convert(iconv_t descriptor, const char* bytes, size_t size, wchar_t* out, size_t room) {
  char* in = const_cast<char*>(bytes);
  size_t inLeft = size;
  char* written = reinterpret_cast<char*>(out);
  size_t outLeft = room * sizeof(wchar_t);
  const int stop = iconv(descriptor, &in, &inLeft, &written, &outLeft) == static_cast<size_t>(-1) ? errno : 0;
  return {size - inLeft, room - outLeft / sizeof(wchar_t), stop};
}

// ASCII, as one text: the fast paths widen it sixteen bytes at a time and
// find line ends among its bytes, so each byte must come out as itself,
// and none of them may need a second byte.
bool ConvertAscii(iconv_t descriptor, Cp932Decoder::Table& table) {
  std::array<char, 0x80> ascii;
  for (size_t byte = 0; byte < ascii.size(); ++byte) ascii[byte] = static_cast<char>(byte);
  std::array<wchar_t, 0x80> points;
  const Conversion done = Convert(descriptor, ascii.data(), ascii.size(), points.data(), points.size());
  if (done.stop != 0 || done.pointsMade != ascii.size()) return false;
  for (size_t byte = 0; byte < ascii.size(); ++byte) {
    if (points[byte] != static_cast<wchar_t>(byte)) return false;
    table.single[byte] = static_cast<char16_t>(byte);
  }
  return true;
}

// Each byte above ASCII alone: a character, a lead byte (the converter waits
// for its second byte), or no character at all. None of them may be a line
// end: those come from the bytes CR and LF alone.
bool ConvertUpperBytes(iconv_t descriptor, Cp932Decoder::Table& table) {
  for (int first = 0x80; first < 256; ++first) {
    const char byte = static_cast<char>(first);
    wchar_t point = 0;
    char16_t unit = 0;
    const Conversion done = Convert(descriptor, &byte, 1, &point, 1);
    table.single[first] = done.stop == 0 && done.pointsMade == 1 && OneUnit(point, unit)
                              ? unit
                              : static_cast<char16_t>(utf16::kReplacement);
    table.lead[first] = done.stop == EINVAL;
    if (IsLineEnd(table.single[first])) return false;
  }
  return true;
}

// Every pair steps as its first byte alone until the converter says it is
// a character: the lead byte becomes U+FFFD and the second starts afresh.
// Built a row of the table at a time.
decltype(Cp932Decoder::Table::steps) StepsOfSingles(const Cp932Decoder::Table& table) {
  std::array<uint32_t, 256> byFirst;
  for (size_t first = 0; first < byFirst.size(); ++first) byFirst[first] = Step(table.single[first], 1);
  decltype(Cp932Decoder::Table::steps) steps;
  steps.reserve(byFirst.size() * byFirst.size());
  for (size_t row = 0; row < byFirst.size(); ++row) {
    if constexpr (std::endian::native == std::endian::little) {  // a row for each second byte (PairIndex)
      steps.insert(steps.end(), byFirst.begin(), byFirst.end());
    } else {
      steps.insert(steps.end(), byFirst.size(), byFirst[row]);
    }
  }
  return steps;
}

// Converts every pair that starts with the lead byte FIRST as one text,
// resumed after each pair the converter refuses: a call per refused pair
// where converting them one by one took one per pair, and building the
// table is most of what reading a small file costs. A text of whole
// characters converts as its characters do one by one. The pairs it takes
// go into TABLE. False when the converter gives other than one unit a pair,
// or a line end.
bool ConvertPairs(iconv_t descriptor, unsigned char first, Cp932Decoder::Table& table) {
  std::array<char, 2 * 256> pairs;
  for (int second = 0; second < 256; ++second) {
    pairs[2 * second] = static_cast<char>(first);
    pairs[2 * second + 1] = static_cast<char>(second);
  }
  std::array<wchar_t, 256> points;
  for (size_t next = 0; next < points.size();) {
    const Conversion done =
        Convert(descriptor, pairs.data() + 2 * next, pairs.size() - 2 * next, points.data(), points.size() - next);
    if (done.bytesTaken != 2 * done.pointsMade || (done.stop != 0 && done.stop != EILSEQ)) return false;
    for (size_t made = 0; made < done.pointsMade; ++made) {
      char16_t unit = 0;
      if (!OneUnit(points[made], unit) || IsLineEnd(unit)) return false;
      table.steps[PairIndex(reinterpret_cast<const unsigned char*>(&pairs[2 * (next + made)]))] = Step(unit, 2);
    }
    next += done.pointsMade + (done.stop != 0 ? 1 : 0);
  }
  return true;
}

Cp932Decoder::Table BuildTable() {
  const iconv_t descriptor = OpenConverter(kCodePoints, kCp932);
  Cp932Decoder::Table table;
  bool asReliedOn = ConvertAscii(descriptor, table) && ConvertUpperBytes(descriptor, table);
  table.steps = StepsOfSingles(table);
  for (int first = 0x80; first < 256 && asReliedOn; ++first) {
    if (table.lead[first]) asReliedOn = ConvertPairs(descriptor, static_cast<unsigned char>(first), table);
  }
  iconv_close(descriptor);
  if (!asReliedOn) RaiseUnavailable(kCodePoints, kCp932);
  return table;
}

// Sixteen bytes side by side, the units they widen to, and half of those.
using Bytes = uint8_t __attribute__((vector_size(16)));
using Units = uint16_t __attribute__((vector_size(32)));
using HalfUnits = uint16_t __attribute__((vector_size(16)));

// The index of the first byte of FLAGS (all ones or all zeros per byte) that
// is set; sizeof(Bytes) when none is.
size_t FirstFlagged(Bytes flags) {
  uint64_t halves[2];
  std::memcpy(halves, &flags, sizeof halves);
  const auto first = [](uint64_t half) {
    return static_cast<size_t>(std::endian::native == std::endian::little ? std::countr_zero(half)
                                                                          : std::countl_zero(half)) / 8;
  };
  if (halves[0] != 0) return first(halves[0]);
  return halves[1] != 0 ? 8 + first(halves[1]) : sizeof(Bytes);
}

// The units go out in halves the size of the machine's vectors: stored
// whole, g++ copies them through the stack first.
void Widen(Bytes bytes, char16_t* out) {
  const Units units = __builtin_convertvector(bytes, Units);
  const HalfUnits low = __builtin_shufflevector(units, units, 0, 1, 2, 3, 4, 5, 6, 7);
  const HalfUnits high = __builtin_shufflevector(units, units, 8, 9, 10, 11, 12, 13, 14, 15);
  std::memcpy(out, &low, sizeof low);
  std::memcpy(out + sizeof(Bytes) / 2, &high, sizeof high);
}

// Widens the run of ASCII at IN, sixteen bytes a step, while a whole step
// starts before STEPLIMIT. True when it stopped at a byte above 0x7F. Each step widens sixteen bytes whatever they are
// and keeps the units of those before the first that stops it; this stays
// within OUT because no unit is written ahead of its byte.
bool CopyAscii(const unsigned char*& in, const unsigned char* stepLimit, char16_t*& out) {
  for (; in < stepLimit; in += sizeof(Bytes), out += sizeof(Bytes)) {
    Bytes bytes;
    std::memcpy(&bytes, in, sizeof bytes);
    Widen(bytes, out);
    if (const size_t ascii = FirstFlagged(reinterpret_cast<Bytes>(bytes >= 0x80)); ascii < sizeof(Bytes)) {
      in += ascii;
      out += ascii;
      return true;
    }
  }
  return false;
}

// The bytes that a character above ASCII takes, but for half-width katakana
// and bytes that are no character.
constexpr uint32_t kUsualWidth = 2;

// One character through the table; returns the bytes it took.
uint32_t DecodeCharacter(const uint32_t* steps, const unsigned char* in, char16_t*& out) {
  const uint32_t step = steps[PairIndex(in)];
  *out++ = static_cast<char16_t>(step);
  return step >> kWidthShift;
}

// Where the converter refuses a byte, it becomes U+FFFD and the next byte
// starts afresh, so a broken pair still lets its second byte through.
//
// Japanese text mixes runs of double-byte characters with short runs of
// ASCII, often a single space: one character at a time through the table
// until two ASCII bytes in a row make a vector step worth its cost.
Cp932Decoder::Result DecodeWith(const Cp932Decoder::Table& table, std::string_view bytes, char16_t* out, bool last) {
  if (bytes.empty()) return {0, 0};
  const uint32_t* const steps = table.steps.data();
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = begin + bytes.size();
  const auto* const lastByte = end - 1;
  const auto* const stepLimit = end - std::min(bytes.size(), sizeof(Bytes) - 1);
  const auto* in = begin;
  char16_t* written = out;
  while (in < lastByte) {
    if (*in < 0x80) {
      if (in[1] >= 0x80 || in >= stepLimit) {
        *written++ = *in++;
        continue;
      }
      if (!CopyAscii(in, stepLimit, written)) continue;
      if (in == lastByte) break;
    }
    // Above ASCII nearly every character takes two bytes. Stepping by two,
    // no character waits for the table's answer on the one before. The
    // first that takes one byte (a half-width katakana, a lead byte that its
    // next byte does not complete) ends the stepping, and the rest of the
    // run goes one character at a time.
    uint32_t width;
    do {
      width = DecodeCharacter(steps, in, written);
      in += kUsualWidth;
    } while (width == kUsualWidth && in < lastByte && *in >= 0x80);
    if (width == kUsualWidth) continue;
    in -= kUsualWidth - width;
    while (in < lastByte && *in >= 0x80) in += DecodeCharacter(steps, in, written);
  }
  if (in == lastByte && !(table.lead[*in] && !last)) {
    *written++ = table.single[*in++];  // a lead byte here waits for the next block's second byte
  }
  return {static_cast<size_t>(in - begin), static_cast<size_t>(written - out)};
}

// Decodes BYTES from done.bytesUsed up to LIMIT a character at a time; with
// LINEENDS, the places of the CR and LF units decoded are noted after, with
// a search of several units a step: cheaper than stopping at each.
template <bool kLineEnds>
void DecodeByCharacter(const Cp932Decoder::Table& table, std::string_view bytes, size_t limit, char16_t* out,
                       uint32_t* lineEnds, bool last, Cp932Decoder::LinesResult& done) {
  const size_t start = done.unitsWritten;
  const auto part =
      DecodeWith(table, bytes.substr(done.bytesUsed, limit - done.bytesUsed), out + start, last);
  done.bytesUsed += part.bytesUsed;
  done.unitsWritten += part.unitsWritten;
  if constexpr (kLineEnds) {
    const std::u16string_view text(out, done.unitsWritten);
    for (size_t at = start; (at = FindEitherUnit(text, u'\r', u'\n', at)) != std::u16string_view::npos; ++at) {
      lineEnds[done.lineEnds++] = static_cast<uint32_t>(at);
    }
  }
}

// Japanese prose goes a character at a time this many bytes at once: long
// enough that re-entering the character decoder costs little, short enough
// that the ASCII after it soon goes by block again.
constexpr size_t kPairsStretch = 4096;

// By block while whole blocks are left, each block that the block steps
// leave going a character at a time (a run of blocks mostly of pairs a
// stretch at a time); the rest a character at a time.
template <bool kLineEnds>
Cp932Decoder::LinesResult DecodeAll(const Cp932Decoder::Table& table, bool byBlock, std::string_view bytes,
                                    char16_t* out, uint32_t* lineEnds, bool last) {
  Cp932Decoder::LinesResult done{{0, 0}, 0};
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  while (byBlock) {
    const cp932_blocks::Progress blocks = cp932_blocks::Decode(table, begin + done.bytesUsed, begin + bytes.size(), out,
                                                               out + done.unitsWritten,
                                                               kLineEnds ? lineEnds + done.lineEnds : nullptr);
    done.bytesUsed = static_cast<size_t>(blocks.in - begin);
    done.unitsWritten = static_cast<size_t>(blocks.out - out);
    done.lineEnds += blocks.lineEnds;
    if (bytes.size() - done.bytesUsed <= cp932_blocks::kBlockSize) break;
    const size_t stretch = blocks.mostlyPairs ? kPairsStretch : cp932_blocks::kBlockSize;
    DecodeByCharacter<kLineEnds>(table, bytes, std::min(bytes.size(), done.bytesUsed + stretch), out, lineEnds, false,
                                 done);
  }
  DecodeByCharacter<kLineEnds>(table, bytes, bytes.size(), out, lineEnds, last, done);
  return done;
}

const Cp932Decoder::Table& TheTable() {
  static const Cp932Decoder::Table table = BuildTable();
  return table;
}

}  // namespace

Cp932Decoder::Way Cp932Decoder::BestWay() {
  static const Way way = secure_getenv("OSTREL_CP932_BY_CHARACTER") == nullptr && cp932_blocks::Usable(TheTable())
                             ? Way::kByBlock
                             : Way::kByCharacter;
  return way;
}

Cp932Decoder::Cp932Decoder(Way way)
    : table_(TheTable()), byBlock_(way == Way::kByBlock && cp932_blocks::Usable(table_)) {}

Cp932Decoder::Result Cp932Decoder::Decode(std::string_view bytes, char16_t* out, bool last) const {
  return DecodeAll<false>(table_, byBlock_, bytes, out, nullptr, last);
}

Cp932Decoder::LinesResult Cp932Decoder::DecodeLines(std::string_view bytes, char16_t* out, uint32_t* lineEnds,
                                                    bool last) const {
  return DecodeAll<true>(table_, byBlock_, bytes, out, lineEnds, last);
}

Cp932Encoder::Cp932Encoder() : descriptor_(OpenConverter(kCp932, kUtf16)) {}

Cp932Encoder::~Cp932Encoder() { iconv_close(descriptor_); }

void Cp932Encoder::Encode(std::u16string_view text, std::string& out) {
  const size_t start = out.size();
  out.resize(start + text.size() * kMostBytesPerUnit);
  char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
  size_t inLeft = text.size() * sizeof(char16_t);
  char* written = out.data() + start;
  size_t outLeft = out.size() - start;
  if (iconv(descriptor_, &in, &inLeft, &written, &outLeft) == static_cast<size_t>(-1)) {
    // Both EILSEQ and EINVAL (a high surrogate that ends the text) stop at a
    // character that has no CP932 form.
    out.resize(start);
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    const char32_t refused = utf16::CodePointAt(text, text.size() - inLeft / sizeof(char16_t));
    Raise(errnum::kInvalidArgument, u"CP932 で表せない文字 " + CodePointName(refused) + u" があります。");
  }
  out.resize(written - out.data());
}

}  // namespace ostrel::com
