// UTF-8 conversion: what becomes of text that is not well formed.
#include <gtest/gtest.h>

#include "runtime/unicode.h"

namespace {

using ostrel::com::FromUtf8;
using ostrel::com::ToUtf8;

TEST(Utf8, SurrogatePairsBecomeOneCharacterAndLoneSurrogatesAReplacement) {
  EXPECT_EQ(ToUtf8(u"aé漢\U0001F600"), "a\xC3\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf8(u"\xD83D" u"a\xDE00"), "\xEF\xBF\xBD" "a\xEF\xBF\xBD");
  EXPECT_EQ(FromUtf8("a\xC3\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80"), u"aé漢\U0001F600");
}

TEST(Utf8, EachIllFormedPartBecomesOneReplacementAndTheRestIsKept) {
  EXPECT_EQ(FromUtf8("\xC0\xAF" "a"), u"\uFFFD\uFFFDa");         // overlong
  EXPECT_EQ(FromUtf8("\xED\xA0\x80" "b"), u"\uFFFD\uFFFD\uFFFDb");  // an encoded surrogate
  EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // beyond U+10FFFF
  EXPECT_EQ(FromUtf8("\xE6\xBC" "c"), u"\uFFFDc");  // cut short, the next byte is kept
  EXPECT_EQ(FromUtf8("d\xF0\x9F\x98"), u"d\uFFFD");  // cut short by the end
  EXPECT_EQ(FromUtf8("\x80\xFF"), u"\uFFFD\uFFFD");
}

}  // namespace

namespace {

// Any bytes, valid UTF-8 or not, come back from their text unchanged.
TEST(FileNameTextTest, EveryNameSurvivesTheTripThroughText) {
  for (const char* bytes :
       {"plain.xml", "caf\xC3\xA9", "caf\xE9", "\xFF\xFE", "\xC3", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80",
        "\xEF\xBF\xBD", "\xC0\xAF", "\x80 mid \xBF", "\xF0\x9F\x98\x80 ok"}) {
    const std::u16string text = ostrel::com::FromFileName(bytes);
    EXPECT_EQ(ostrel::com::ToFileName(text), bytes) << bytes;
  }
  EXPECT_EQ(ostrel::com::FromFileName("caf\xE9"), std::u16string(u"caf\xDCE9"));
  EXPECT_EQ(ostrel::com::FromFileName("caf\xC3\xA9"), u"café");
}

TEST(FileNameTextTest, TextThatStandsForNoBytesNamesNoFile) {
  for (const std::u16string& text : {std::u16string(u"a\xD800"), std::u16string(u"\xDFFF"), std::u16string(u"\xDC41"),
                                    std::u16string(u"\xDCC3\xDCA9"), std::u16string(u"a\0b", 3), std::u16string()}) {
    EXPECT_EQ(ostrel::com::ToFileName(text), std::nullopt);
  }
  EXPECT_EQ(ostrel::com::ToFileName(u"メモ.xml"), "\xE3\x83\xA1\xE3\x83\xA2.xml");
}

}  // namespace
