// The table the CP932 decoder reads through, shared by its two ways of
// decoding: a character at a time, and 64 bytes a step (cp932_blocks.h).
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/cp932.h"
#include "runtime/populated_allocator.h"

namespace ostrel::com {

// What each byte and each pair of bytes decodes to, as the system's
// converter says.
struct Cp932Decoder::Table {
  std::array<char16_t, 256> single{};  // U+FFFD for a byte that is no character
  std::array<bool, 256> lead{};        // the byte needs a second one
  // By first << 8 | second: the unit of the character that starts with FIRST,
  // and above it the bytes that character takes. A lead byte that SECOND
  // does not complete is U+FFFD and one byte, so SECOND starts afresh.
  std::vector<uint32_t, PopulatedAllocator<uint32_t>> steps;
};

namespace cp932_table {

constexpr int kWidthShift = 16;

inline uint32_t Step(char16_t unit, uint32_t width) { return unit | width << kWidthShift; }

// Where the pair of bytes at BYTES is in the table: the two bytes as one
// number in the machine's byte order, so that decoding loads them at once.
inline uint16_t PairIndex(const unsigned char* bytes) {
  uint16_t index;
  std::memcpy(&index, bytes, sizeof index);
  return index;
}

}  // namespace cp932_table
}  // namespace ostrel::com
