// The decoder reads through a table; the system's converter, called on each
// text directly, is the reference it must match for every byte, every pair
// of bytes and arbitrary runs of them, wherever they fall in a vector step
// or a block, and wherever decoding stops at a line end.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "runtime/cp932.h"
#include "tests/converter_decoding.h"

namespace {

using ostrel::com::Cp932Decoder;
using ostrel_reference::ConverterDecoding;

// Sixteen bytes of ASCII are widened in one step, so a run of up to two
// steps and a tail puts the byte after it at every offset of a step.
constexpr int kLongestRunTried = 2 * 16 + 2;

// Every test runs each way of decoding: the ways must not differ, and either
// may be the one a machine takes.
class Cp932Decoding : public testing::TestWithParam<Cp932Decoder::Way> {
 protected:
  void SetUp() override {
    if (decoder.way() != GetParam()) GTEST_SKIP() << "this processor cannot decode by block";
  }

  const Cp932Decoder decoder{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(EachWay, Cp932Decoding,
                         testing::Values(Cp932Decoder::Way::kByCharacter, Cp932Decoder::Way::kByBlock),
                         [](const auto& way) { return way.param == Cp932Decoder::Way::kByBlock ? "ByBlock" : "ByCharacter"; });

std::u16string Decoded(const Cp932Decoder& decoder, std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  const auto result = decoder.Decode(bytes, out.data(), true);
  EXPECT_EQ(result.bytesUsed, bytes.size());
  out.resize(result.unitsWritten);
  return out;
}

TEST_P(Cp932Decoding, EveryByteAndPairDecodesAsTheConverterSays) {
  for (int first = 0; first < 256; ++first) {
    const std::string single(1, static_cast<char>(first));
    ASSERT_EQ(Decoded(decoder, single), ConverterDecoding(single)) << first;
    for (int second = 0; second < 256; ++second) {
      const std::string pair{static_cast<char>(first), static_cast<char>(second)};
      ASSERT_EQ(Decoded(decoder, pair), ConverterDecoding(pair)) << first << " " << second;
    }
  }
}

// Decoding with the places of the line ends noted must give what decoding
// without them gives, and the places must be those of the CR and LF units.
std::u16string DecodedLineByLine(const Cp932Decoder& decoder, std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  std::vector<uint32_t> lineEnds(bytes.size());
  const auto result = decoder.DecodeLines(bytes, out.data(), lineEnds.data(), true);
  EXPECT_EQ(result.bytesUsed, bytes.size());
  out.resize(result.unitsWritten);
  std::vector<uint32_t> expectedEnds;
  for (size_t at = 0; at < out.size(); ++at) {
    if (out[at] == u'\r' || out[at] == u'\n') expectedEnds.push_back(static_cast<uint32_t>(at));
  }
  lineEnds.resize(result.lineEnds);
  EXPECT_EQ(lineEnds, expectedEnds);
  return out;
}

// Every pair of bytes, after an ASCII run of each length up to two steps
// and a tail: the pair's first byte falls at every offset of a step.
TEST_P(Cp932Decoding, EveryPairAtEveryOffsetOfAStepDecodesAsTheConverterSays) {
  for (int run = 0; run <= kLongestRunTried; ++run) {
    std::string bytes;
    for (int first = 0; first < 256; ++first) {
      for (int second = 0; second < 256; ++second) {
        bytes.append(run, 'a');
        bytes += static_cast<char>(first);
        bytes += static_cast<char>(second);
      }
    }
    const std::u16string expected = ConverterDecoding(bytes);
    ASSERT_EQ(Decoded(decoder, bytes), expected) << "run " << run;
    ASSERT_EQ(DecodedLineByLine(decoder, bytes), expected) << "run " << run;
  }
}

TEST_P(Cp932Decoding, ArbitraryRunsDecodeAsTheConverterSays) {
  std::mt19937 random(11);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 64, '\0');
    // Mostly lead bytes, ASCII and trail bytes, so that pairs form and break.
    for (char& byte : bytes) byte = static_cast<char>(random() % 3 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
    ASSERT_EQ(Decoded(decoder, bytes), ConverterDecoding(bytes)) << round;
    ASSERT_EQ(DecodedLineByLine(decoder, bytes), ConverterDecoding(bytes)) << round;
  }
}

// ASCII is widened several bytes at a time; a run may end anywhere in a step.
TEST_P(Cp932Decoding, AsciiRunsOfEveryLengthEndWhereTheyEnd) {
  static const std::string kBreaks[] = {"\x82\xA0", "\xB1", "\x80", "\xFF", "\x81", "\x88\x9F", "\r", "\n", "\r\n"};
  std::mt19937 random(12);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    while (bytes.size() < 48) {
      bytes.append(random() % 20, static_cast<char>(0x20 + random() % 0x5F));
      bytes += kBreaks[random() % std::size(kBreaks)];
    }
    bytes.resize(random() % bytes.size());
    ASSERT_EQ(Decoded(decoder, bytes), ConverterDecoding(bytes)) << round;
    ASSERT_EQ(DecodedLineByLine(decoder, bytes), ConverterDecoding(bytes)) << round;
  }
}

TEST_P(Cp932Decoding, LeadByteAtTheEndWaitsForTheNextBlockUnlessItIsTheLast) {
  char16_t out[4];
  const auto waiting = decoder.Decode("ab\x82", out, false);
  EXPECT_EQ(waiting.bytesUsed, 2u);
  EXPECT_EQ(std::u16string(out, waiting.unitsWritten), u"ab");
  const auto last = decoder.Decode("\x82", out, true);
  EXPECT_EQ(std::u16string(out, last.unitsWritten), u"\uFFFD");
}

// Every pair of bytes with a block boundary between its two bytes.
TEST_P(Cp932Decoding, EveryPairSplitBetweenBlocksDecodesAsAWhole) {
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const std::string before = std::string("ab") + static_cast<char>(first);
      const std::string after = std::string(1, static_cast<char>(second)) + "cd";
      char16_t out[8];
      const auto head = decoder.Decode(before, out, false);
      std::u16string text(out, head.unitsWritten);
      const std::string rest = before.substr(head.bytesUsed) + after;
      const auto tail = decoder.Decode(rest, out, true);
      text.append(out, tail.unitsWritten);
      ASSERT_EQ(tail.bytesUsed, rest.size());
      ASSERT_EQ(text, ConverterDecoding(before + after)) << first << " " << second;
    }
  }
}

// Whatever a call leaves unused opens the next block.
std::u16string DecodedInBlocks(const Cp932Decoder& decoder, std::string_view bytes, size_t blockSize) {
  std::u16string text;
  std::string pending;
  for (size_t at = 0; at < bytes.size(); at += blockSize) {
    pending += bytes.substr(at, blockSize);
    const bool last = at + blockSize >= bytes.size();
    std::u16string out(pending.size(), u'\0');
    const auto result = decoder.Decode(pending, out.data(), last);
    EXPECT_LE(pending.size() - result.bytesUsed, Cp932Decoder::kLongestIncomplete);
    text.append(out.data(), result.unitsWritten);
    pending.erase(0, result.bytesUsed);
  }
  return text;
}

// Blocks end anywhere: in a step, between the bytes of a pair, right before
// a line end.
TEST_P(Cp932Decoding, TextSplitIntoBlocksDecodesAsAWhole) {
  std::mt19937 random(13);
  std::string bytes;
  while (bytes.size() < 4000) {
    bytes.append(random() % 40, static_cast<char>(0x20 + random() % 0x5F));
    for (int pairs = random() % 6; pairs > 0; --pairs) bytes += random() % 8 == 0 ? "\x82\r" : "\x93\xFA";
    if (random() % 4 == 0) bytes += random() % 2 ? "\r\n" : "\r";
  }
  const std::u16string expected = ConverterDecoding(bytes);
  for (size_t blockSize = 1; blockSize <= 40; ++blockSize) {
    ASSERT_EQ(DecodedInBlocks(decoder, bytes, blockSize), expected) << "blocks of " << blockSize;
  }
}

// Above ASCII the decoder steps two bytes at a time, and goes one character
// at a time from the first that takes one byte. A run of double-byte
// characters with one that is not at each place, after ASCII that ends
// anywhere in a step, and ending the text, before ASCII, before a line end
// or with a lead byte that waits for the next block.
TEST_P(Cp932Decoding, RunsWithACharacterOfOneByteAnywhereDecodeAsTheConverterSays) {
  static const std::string kOdd[] = {
      "\xB1",                         // half-width katakana
      "\x82 ", "\x82\x7F", "\xFC\xFC",  // lead bytes that their next byte does not complete
      "\x85\x40",                     // a lead byte of a row with no characters
      "\x80", "\xA0", "\xFD", "\xFF",    // bytes that are no character
      "\x82\r", "\x82\n",             // a lead byte before a line end
      "\x87\x40",                     // ①, whose second byte is ASCII: takes two bytes like the rest
  };
  static const std::string kBefore[] = {"", "a", "ab", std::string(17, 'a')};
  static const std::string kAfter[] = {"", "a", "ab", "\r\n", "\x82"};
  const std::string kanji = "\x93\xFA";
  for (int run = 0; run <= 12; ++run) {
    for (int at = 0; at <= run; ++at) {
      for (const std::string& odd : kOdd) {
        for (const std::string& before : kBefore) {
          for (const std::string& after : kAfter) {
            std::string bytes = before;
            for (int i = 0; i < run; ++i) bytes += i == at ? odd + kanji : kanji;
            if (at == run) bytes += odd;
            bytes += after;
            const std::u16string expected = ConverterDecoding(bytes);
            ASSERT_EQ(Decoded(decoder, bytes), expected) << testing::PrintToString(bytes);
            ASSERT_EQ(DecodedLineByLine(decoder, bytes), expected) << testing::PrintToString(bytes);
            for (size_t blockSize = 1; blockSize <= 5; ++blockSize) {
              ASSERT_EQ(DecodedInBlocks(decoder, bytes, blockSize), expected) << testing::PrintToString(bytes);
            }
          }
        }
      }
    }
  }
}

// Characters that decoding by block takes in its stride: ASCII, half-width
// katakana and pairs whose second byte is of each class a first byte can be
// (a lead byte, ASCII, katakana, a byte that is no character alone), so that
// runs of lead-class bytes of every length and parity cross block ends.
std::string ValidText(std::mt19937& random, size_t characters) {
  static const std::string kCharacters[] = {"a", " ", "<", "\xB1",      "\x93\xFA", "\x88\x9F",
                                            "\x81\x40", "\x83\x41", "\x82\xB1", "\x82\xA0", "\xE0\x80", "\x81\x81"};
  std::string text;
  for (size_t i = 0; i < characters; ++i) text += kCharacters[random() % std::size(kCharacters)];
  return text;
}

// Decoding by block leaves a block with a byte that is no character or a
// broken pair to go a character at a time, and goes on by block after it.
// Each such byte, and each line end, at every offset of a few blocks.
TEST_P(Cp932Decoding, OddBytesAndLineEndsAtEveryOffsetOfABlockDecodeAsTheConverterSays) {
  static const std::string kOdd[] = {"\x82 ", "\x82\x7F", "\x85\x40", "\x80", "\xA0", "\xFD", "\xFF",
                                     "\x82\r", "\x82\n", "\r\n", "\r", "\n", "\r\r\n\n"};
  std::mt19937 random(14);
  for (int round = 0; round < 4; ++round) {
    const std::string text = ValidText(random, 150);
    for (const std::string& odd : kOdd) {
      for (size_t at = 0; at <= 3 * 64 && at <= text.size(); ++at) {
        const std::string bytes = text.substr(0, at) + odd + text.substr(at);
        const std::u16string expected = ConverterDecoding(bytes);
        ASSERT_EQ(Decoded(decoder, bytes), expected) << testing::PrintToString(bytes);
        ASSERT_EQ(DecodedLineByLine(decoder, bytes), expected) << testing::PrintToString(bytes);
      }
    }
  }
}

// Japanese prose after a line of ASCII: blocks nearly all pairs, which
// decoding by block leaves to the character decoder a stretch at a time,
// entered where the ASCII's block ends (on a pair's second byte when a pair
// straddles that end), with a few one-byte characters among the pairs, and
// an odd byte or a broken pair at every offset of a few blocks.
TEST_P(Cp932Decoding, BlocksMostlyOfPairsDecodeAsTheConverterSays) {
  static const std::string kPairs[] = {"\x93\xFA", "\x96\x7B", "\x8C\xEA", "\x82\xA0", "\x81\x42", "\xE0\x80",
                                       "\x81\x81", "\xFC\x4B"};
  static const std::string kAmong[] = {"a", "\xB1", "\r\n"};
  static const std::string kOdd[] = {"", "\x82 ", "\x82\x7F", "\x80", "\xFD", "\x82\r"};
  std::mt19937 random(16);
  for (size_t ascii = 60; ascii <= 65; ++ascii) {
    std::string text(ascii, 'a');
    while (text.size() < 6 * 64) {
      text += random() % 10 == 0 ? kAmong[random() % std::size(kAmong)] : kPairs[random() % std::size(kPairs)];
    }
    for (const std::string& odd : kOdd) {
      for (size_t at = 0; at <= 5 * 64; ++at) {
        const std::string bytes = text.substr(0, at) + odd + text.substr(at);
        const std::u16string expected = ConverterDecoding(bytes);
        ASSERT_EQ(Decoded(decoder, bytes), expected) << testing::PrintToString(bytes);
        ASSERT_EQ(DecodedLineByLine(decoder, bytes), expected) << testing::PrintToString(bytes);
      }
    }
  }
}

// Long texts cut into pieces of every size around a block, as the line
// reader hands them over.
TEST_P(Cp932Decoding, LongTextsInPiecesAroundABlockDecodeAsTheConverterSays) {
  std::mt19937 random(15);
  for (int round = 0; round < 20; ++round) {
    std::string bytes = ValidText(random, 2000);
    for (int odd = 0; odd < round; ++odd) bytes.insert(random() % bytes.size(), 1, "\x80\r\n\x82"[random() % 4]);
    const std::u16string expected = ConverterDecoding(bytes);
    ASSERT_EQ(Decoded(decoder, bytes), expected) << round;
    ASSERT_EQ(DecodedLineByLine(decoder, bytes), expected) << round;
    for (size_t blockSize = 60; blockSize <= 70; ++blockSize) {
      ASSERT_EQ(DecodedInBlocks(decoder, bytes, blockSize), expected) << "round " << round << " blocks of " << blockSize;
    }
    ASSERT_EQ(DecodedInBlocks(decoder, bytes, 129), expected) << round;
  }
}

}  // namespace
