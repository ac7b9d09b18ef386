// The decoder reads through a table; the system's converter, called on each
// text directly, is the reference it must match for every byte, every pair
// of bytes and arbitrary runs of them, wherever they fall in a vector step
// or a block, and wherever decoding stops at a line end.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/cp932.h"
#include "tests/converter_decoding.h"

namespace {

using ostrel_reference::ConverterDecoding;

// Sixteen bytes of ASCII are widened in one step, so a run of up to two
// steps and a tail puts the byte after it at every offset of a step.
constexpr int kLongestRunTried = 2 * 16 + 2;

std::u16string Decoded(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  const auto result = ostrel::com::Cp932Decoder().Decode(bytes, out.data(), true);
  EXPECT_EQ(result.bytesUsed, bytes.size());
  out.resize(result.unitsWritten);
  return out;
}

TEST(Cp932Decoder, EveryByteAndPairDecodesAsTheConverterSays) {
  for (int first = 0; first < 256; ++first) {
    const std::string single(1, static_cast<char>(first));
    ASSERT_EQ(Decoded(single), ConverterDecoding(single)) << first;
    for (int second = 0; second < 256; ++second) {
      const std::string pair{static_cast<char>(first), static_cast<char>(second)};
      ASSERT_EQ(Decoded(pair), ConverterDecoding(pair)) << first << " " << second;
    }
  }
}

// Decoding up to each line end in turn, then taking the line end itself,
// must give what decoding the whole text gives.
std::u16string DecodedLineByLine(std::string_view bytes) {
  const ostrel::com::Cp932Decoder decoder;
  std::u16string text;
  std::u16string out(bytes.size(), u'\0');
  while (!bytes.empty()) {
    const auto result = decoder.DecodeToLineEnd(bytes, out.data(), true);
    const std::u16string_view units(out.data(), result.unitsWritten);
    EXPECT_EQ(units.find_first_of(u"\r\n"), std::u16string_view::npos) << "a line end was decoded past";
    text += units;
    bytes.remove_prefix(result.bytesUsed);
    if (bytes.empty()) break;
    EXPECT_TRUE(bytes.front() == '\r' || bytes.front() == '\n') << "stopped short of a line end";
    text += static_cast<char16_t>(bytes.front());
    bytes.remove_prefix(1);
  }
  return text;
}

// Every pair of bytes, after an ASCII run of each length up to two steps
// and a tail: the pair's first byte falls at every offset of a step.
TEST(Cp932Decoder, EveryPairAtEveryOffsetOfAStepDecodesAsTheConverterSays) {
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
    ASSERT_EQ(Decoded(bytes), expected) << "run " << run;
    ASSERT_EQ(DecodedLineByLine(bytes), expected) << "run " << run;
  }
}

TEST(Cp932Decoder, ArbitraryRunsDecodeAsTheConverterSays) {
  std::mt19937 random(11);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 64, '\0');
    // Mostly lead bytes, ASCII and trail bytes, so that pairs form and break.
    for (char& byte : bytes) byte = static_cast<char>(random() % 3 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
    ASSERT_EQ(Decoded(bytes), ConverterDecoding(bytes)) << round;
    ASSERT_EQ(DecodedLineByLine(bytes), ConverterDecoding(bytes)) << round;
  }
}

// ASCII is widened several bytes at a time; a run may end anywhere in a step.
TEST(Cp932Decoder, AsciiRunsOfEveryLengthEndWhereTheyEnd) {
  static const std::string kBreaks[] = {"\x82\xA0", "\xB1", "\x80", "\xFF", "\x81", "\x88\x9F", "\r", "\n", "\r\n"};
  std::mt19937 random(12);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    while (bytes.size() < 48) {
      bytes.append(random() % 20, static_cast<char>(0x20 + random() % 0x5F));
      bytes += kBreaks[random() % std::size(kBreaks)];
    }
    bytes.resize(random() % bytes.size());
    ASSERT_EQ(Decoded(bytes), ConverterDecoding(bytes)) << round;
    ASSERT_EQ(DecodedLineByLine(bytes), ConverterDecoding(bytes)) << round;
  }
}

TEST(Cp932Decoder, LeadByteAtTheEndWaitsForTheNextBlockUnlessItIsTheLast) {
  char16_t out[4];
  ostrel::com::Cp932Decoder decoder;
  const auto waiting = decoder.Decode("ab\x82", out, false);
  EXPECT_EQ(waiting.bytesUsed, 2u);
  EXPECT_EQ(std::u16string(out, waiting.unitsWritten), u"ab");
  const auto last = decoder.Decode("\x82", out, true);
  EXPECT_EQ(std::u16string(out, last.unitsWritten), u"\uFFFD");
}

// Every pair of bytes with a block boundary between its two bytes.
TEST(Cp932Decoder, EveryPairSplitBetweenBlocksDecodesAsAWhole) {
  const ostrel::com::Cp932Decoder decoder;
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
std::u16string DecodedInBlocks(std::string_view bytes, size_t blockSize) {
  const ostrel::com::Cp932Decoder decoder;
  std::u16string text;
  std::string pending;
  for (size_t at = 0; at < bytes.size(); at += blockSize) {
    pending += bytes.substr(at, blockSize);
    const bool last = at + blockSize >= bytes.size();
    std::u16string out(pending.size(), u'\0');
    const auto result = decoder.Decode(pending, out.data(), last);
    EXPECT_LE(pending.size() - result.bytesUsed, ostrel::com::Cp932Decoder::kLongestIncomplete);
    text.append(out.data(), result.unitsWritten);
    pending.erase(0, result.bytesUsed);
  }
  return text;
}

// Blocks end anywhere: in a step, between the bytes of a pair, right before
// a line end.
TEST(Cp932Decoder, TextSplitIntoBlocksDecodesAsAWhole) {
  std::mt19937 random(13);
  std::string bytes;
  while (bytes.size() < 4000) {
    bytes.append(random() % 40, static_cast<char>(0x20 + random() % 0x5F));
    for (int pairs = random() % 6; pairs > 0; --pairs) bytes += random() % 8 == 0 ? "\x82\r" : "\x93\xFA";
    if (random() % 4 == 0) bytes += random() % 2 ? "\r\n" : "\r";
  }
  const std::u16string expected = ConverterDecoding(bytes);
  for (size_t blockSize = 1; blockSize <= 40; ++blockSize) {
    ASSERT_EQ(DecodedInBlocks(bytes, blockSize), expected) << "blocks of " << blockSize;
  }
}

// Above ASCII the decoder steps two bytes at a time, and goes one character
// at a time from the first that takes one byte. A run of double-byte
// characters with one that is not at each place, after ASCII that ends
// anywhere in a step, and ending the text, before ASCII, before a line end
// or with a lead byte that waits for the next block.
TEST(Cp932Decoder, RunsWithACharacterOfOneByteAnywhereDecodeAsTheConverterSays) {
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
            ASSERT_EQ(Decoded(bytes), expected) << testing::PrintToString(bytes);
            ASSERT_EQ(DecodedLineByLine(bytes), expected) << testing::PrintToString(bytes);
            for (size_t blockSize = 1; blockSize <= 5; ++blockSize) {
              ASSERT_EQ(DecodedInBlocks(bytes, blockSize), expected) << testing::PrintToString(bytes);
            }
          }
        }
      }
    }
  }
}

}  // namespace
