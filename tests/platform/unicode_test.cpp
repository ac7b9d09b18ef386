// UTF-8 conversion: what becomes of text that is not well formed.
#include <gtest/gtest.h>

#include "platform/unicode.h"

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
