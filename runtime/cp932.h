// Conversion between UTF-16 and CP932, the Shift-JIS of the files that the
// file slot reads and writes.
//
// The system's converter decides every character. Decoding goes through a
// table that it fills once per process: the same text as converting each
// block with it, at a fraction of the cost. Encoding keeps one descriptor
// open for the encoder's whole life. Encoders are not safe for concurrent
// use; decoders are. The decoder raises 51 too where the converter's CP932
// is not the one this code relies on: ASCII as itself, one unit for each
// pair of bytes it takes, and CR and LF never made of other bytes.
#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace ostrel::com {

class Cp932Decoder {
 public:
  // A CP932 sequence is one or two bytes, so at most one byte can be waiting
  // for the rest of its character.
  static constexpr size_t kLongestIncomplete = 1;

  struct Result {
    size_t bytesUsed;
    size_t unitsWritten;
  };

  struct LinesResult : Result {
    size_t lineEnds;
  };

  struct Table;

  // The two ways of decoding, which give the same text: a character at a
  // time, or 64 bytes a step where the processor allows (cp932_blocks.h).
  enum class Way { kByCharacter, kByBlock };

  // kByBlock where the processor allows it, unless OSTREL_CP932_BY_CHARACTER
  // is set in the environment, so that the tests can run the other way too.
  static Way BestWay();

  // Raises 51 when the system has no CP932 converter. A decoder asked to go
  // by block where the processor does not allow it goes by character.
  explicit Cp932Decoder(Way way = BestWay());

  Way way() const { return byBlock_ ? Way::kByBlock : Way::kByCharacter; }

  // Decodes BYTES into OUT, which must have room for bytes.size() units: no
  // CP932 sequence yields more units than it has bytes. A byte that is not
  // CP932 becomes U+FFFD and decoding goes on with the next byte. A lead byte
  // that ends BYTES is left unused for the next call, unless LAST says that
  // no bytes follow; then it becomes U+FFFD too.
  Result Decode(std::string_view bytes, char16_t* out, bool last) const;

  // Decodes as Decode does, and writes to LINEENDS, which must have room for
  // bytes.size() places, the place in OUT of every CR and LF unit. Those
  // units come from the bytes CR and LF alone, never from a pair. BYTES must
  // be shorter than 4 GiB.
  LinesResult DecodeLines(std::string_view bytes, char16_t* out, uint32_t* lineEnds, bool last) const;

 private:
  const Table& table_;
  bool byBlock_;
};

class Cp932Encoder {
 public:
  Cp932Encoder();  // raises 51 when the system has no CP932 converter
  ~Cp932Encoder();
  Cp932Encoder(const Cp932Encoder&) = delete;
  Cp932Encoder& operator=(const Cp932Encoder&) = delete;

  // Appends TEXT in CP932 to OUT. A character that CP932 cannot represent
  // (an emoji, a lone surrogate) raises 5 naming it as U+XXXX, and OUT is left
  // as it was.
  void Encode(std::u16string_view text, std::string& out);

 private:
  iconv_t descriptor_;
};

}  // namespace ostrel::com
