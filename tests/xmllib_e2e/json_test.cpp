// JsonString: what the tools print for a text.
#include "tools/json.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Texts of eight units or more are converted eight units a step; shorter
// ones a unit at a time, so each character's JSON on its own is the measure
// of what a step makes of it, wherever in the step it falls.
std::string Inner(std::u16string_view character) {
  const std::string json = JsonString(character);
  return json.substr(1, json.size() - 2);
}

// CHARACTER at each place among FILL, in texts from 1 to 26 units long.
void ExpectSameInEveryPlace(std::u16string_view character, char16_t fill) {
  for (std::size_t length = character.size(); length <= 26; ++length) {
    for (std::size_t at = 0; at + character.size() <= length; ++at) {
      std::u16string text(length - character.size(), fill);
      text.insert(at, character);
      std::string expected;
      for (std::size_t i = 0; i < text.size();) {
        const std::size_t units = i == at ? character.size() : 1;
        expected += Inner(std::u16string_view(text).substr(i, units));
        i += units;
      }
      EXPECT_EQ(JsonString(text), "\"" + expected + "\"") << "length " << length << ", at " << at;
    }
  }
}

TEST(JsonStringTest, EveryKindOfUnitIsTheSameInEveryPlaceOfAStep) {
  const std::u16string characters[] = {
      u"\"", u"\\", u"\r", u"\n", std::u16string(1, u'\0'), u"\x1f", u" ", u"~", u"\x7f",
      u"\x80", u"\x7ff", u"\x800", u"今", u"\xD7FF", u"\xE000", u"\xFFFF", u"\xFFFD", u"\xD800",
      u"\xDBFF", u"\xDC00", u"\xDFFF", u"\U0001F600", u"\U0010FFFF"};
  for (const char16_t fill : {u'a', u'今', u'\x3b1'}) {
    for (const std::u16string& character : characters) {
      SCOPED_TRACE(testing::Message() << "unit " << std::hex << int{character[0]} << " among " << int{fill});
      ExpectSameInEveryPlace(character, fill);
    }
  }
}

TEST(JsonStringTest, RunsOfOneKindAlternatingAcrossSteps) {
  std::u16string text;
  std::string expected;
  for (std::size_t run = 1; run <= 17; ++run) {
    text += std::u16string(run, u'a') + std::u16string(run, u'今') + u"\"";
    expected += std::string(run, 'a');
    for (std::size_t i = 0; i < run; ++i) expected += "今";
    expected += "\\\"";
  }
  EXPECT_EQ(JsonString(text), "\"" + expected + "\"");
}

// A step writes whole words and eight bytes at a time, past what it keeps;
// none of it may fall beyond the room, whatever the text ends with.
TEST(JsonStringTest, StepsWriteNothingBeyondTheRoom) {
  const std::u16string ends[] = {u"a", u"ab", u"abc", u"今", u"今今", u"今今今", u"今今今今", u"\x01", u"\xD800"};
  for (const char16_t fill : {u'a', u'今', u'\x01'}) {
    for (std::size_t length = 0; length <= 20; ++length) {
      for (const std::u16string& end : ends) {
        const std::u16string text = std::u16string(length, fill) + end;
        const std::size_t limit = tools::JsonStringRoom(text.size());
        std::string room(limit + 32, '#');
        EXPECT_LE(tools::PutJsonString(text, room.data()) - room.data(), static_cast<std::ptrdiff_t>(limit));
        EXPECT_EQ(room.substr(limit), std::string(32, '#')) << "length " << text.size();
      }
    }
  }
}

}  // namespace
