// CP932 decoded 64 bytes a step with AVX2 and BMI2, through the decoder's
// table, for the processors that have them.
//
// Each step finds the second bytes of pairs among a block's bytes at once,
// widens and packs the rest to units, and looks up each pair in the table. It
// gives exactly the units that decoding a character at a time gives, or
// stops: it leaves a block that holds a byte that is no character, or a lead
// byte that its next byte does not complete, to the character-at-a-time
// decoder, which knows what such bytes become.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/cp932_table.h"

namespace ostrel::com::cp932_blocks {

constexpr size_t kBlockSize = 64;

// True when this processor has AVX2 and BMI2 and TABLE's bytes fall into
// the classes the steps assume: ASCII as itself, lead bytes 0x81..0x9F and
// 0xE0..0xFC, half-width katakana 0xA1..0xDF as U+FF61.. in order.
bool Usable(const Cp932Decoder::Table& table);

struct Progress {
  const unsigned char* in;  // where a character starts
  char16_t* out;
  size_t lineEnds;
  bool mostlyPairs;  // stopped at a block mostly of double-byte characters
};

// Decodes whole blocks from IN while a block and the byte after it lie before
// END (a pair may end one byte past its block), into OUT, which must have
// room for as many units as bytes are decoded. Stops early at a block it
// leaves to the character-at-a-time decoder: one it cannot decode, or one
// mostly of pairs, which that decoder takes in fewer instructions and less
// time (a block packs its bytes first and then looks up each pair in turn).
// Unless LINEENDS is null, it receives the place from ORIGIN of every CR and
// LF unit. Only when Usable.
Progress Decode(const Cp932Decoder::Table& table, const unsigned char* in, const unsigned char* end,
                const char16_t* origin, char16_t* out, uint32_t* lineEnds);

}  // namespace ostrel::com::cp932_blocks
