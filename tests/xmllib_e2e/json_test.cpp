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

TEST(JsonStringTest, SurrogateWithoutItsPartnerIsTheReplacementCharacter) {
  EXPECT_EQ(JsonString(u"a\xD800" u"b\xDC00" u"\xDBFF"), "\"a\uFFFDb\uFFFD\uFFFD\"");
}

TEST(JsonStringTest, ControlCharactersFillTheRoomGivenAndNoMore) {
  const std::u16string controls(100, u'\x01');
  std::string room(tools::JsonStringRoom(controls.size()) + 1, '#');
  const char* end = tools::PutJsonString(controls, room.data());
  EXPECT_EQ(end - room.data(), static_cast<std::ptrdiff_t>(room.size() - 1));
  EXPECT_EQ(room.back(), '#');
}

}  // namespace
