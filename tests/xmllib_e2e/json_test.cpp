// JsonString: what the tools print for a text.
#include "tools/json.h"

#include <gtest/gtest.h>

namespace {

using tools::JsonString;

TEST(JsonStringTest, PlainTextIsOnlyQuoted) {
  EXPECT_EQ(JsonString(u""), "\"\"");
  EXPECT_EQ(JsonString(u"Title t"), "\"Title t\"");
}

TEST(JsonStringTest, QuoteAndBackslashAreEscaped) { EXPECT_EQ(JsonString(u"say \"a\\b\""), "\"say \\\"a\\\\b\\\"\""); }

TEST(JsonStringTest, LineEndsAreShortEscapesOtherControlsAreNumbered) {
  EXPECT_EQ(JsonString(u"a\r\nb"), "\"a\\r\\nb\"");
  EXPECT_EQ(JsonString(std::u16string(u"\t\0\x1f\x7f", 4)), "\"\\u0009\\u0000\\u001f\x7f\"");
}

TEST(JsonStringTest, TextBeyondAsciiIsUtf8) {
  EXPECT_EQ(JsonString(u"未使用\"\U0001F600"), "\"未使用\\\"\U0001F600\"");
}

}  // namespace
