// JsonString: what the tools print for a text.
#include "tools/json.h"

#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

using tools::JsonSteps;

// Every case runs each way of stepping through a text that this processor
// can take; the ways must give the same bytes.
class JsonStringTest : public testing::TestWithParam<JsonSteps> {
 protected:
  void SetUp() override {
    if (!tools::JsonStepsUsable(GetParam())) GTEST_SKIP() << "this processor cannot take these steps";
  }
  std::string JsonString(std::u16string_view text) const { return tools::JsonString(text, GetParam()); }
  char* PutJsonString(std::u16string_view text, char* out) const { return tools::PutJsonString(text, out, GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Steps, JsonStringTest, testing::Values(JsonSteps::kEightUnits, JsonSteps::kSixteenUnits),
                         [](const testing::TestParamInfo<JsonSteps>& info) {
                           return info.param == JsonSteps::kEightUnits ? "EightUnits" : "SixteenUnits";
                         });

TEST_P(JsonStringTest, PlainTextIsOnlyQuoted) {
  EXPECT_EQ(JsonString(u""), "\"\"");
  EXPECT_EQ(JsonString(u"Title t"), "\"Title t\"");
}

TEST_P(JsonStringTest, QuoteAndBackslashAreEscaped) { EXPECT_EQ(JsonString(u"say \"a\\b\""), "\"say \\\"a\\\\b\\\"\""); }

TEST_P(JsonStringTest, LineEndsAreShortEscapesOtherControlsAreNumbered) {
  EXPECT_EQ(JsonString(u"a\r\nb"), "\"a\\r\\nb\"");
  EXPECT_EQ(JsonString(std::u16string(u"\t\0\x1f\x7f", 4)), "\"\\u0009\\u0000\\u001f\x7f\"");
}

TEST_P(JsonStringTest, TextBeyondAsciiIsUtf8) {
  EXPECT_EQ(JsonString(u"未使用\"\U0001F600"), "\"未使用\\\"\U0001F600\"");
}

TEST_P(JsonStringTest, SurrogateWithoutItsPartnerIsTheReplacementCharacter) {
  EXPECT_EQ(JsonString(u"a\xD800" u"b\xDC00" u"\xDBFF"), "\"a\uFFFDb\uFFFD\uFFFD\"");
}

TEST_P(JsonStringTest, ControlCharactersTakeSixBytesEachWithinTheRoom) {
  const std::u16string controls(100, u'\x01');
  std::string room(tools::JsonStringRoom(controls.size()) + 1, '#');
  const char* end = PutJsonString(controls, room.data());
  EXPECT_EQ(end - room.data(), 6 * 100 + 2);
  EXPECT_EQ(room.back(), '#');
}

// Going eight units a step, texts shorter than a step are converted a unit
// at a time, so each character's JSON on its own that way is the measure of
// what any step makes of it, wherever in the step it falls.
std::string Inner(std::u16string_view character) {
  const std::string json = tools::JsonString(character, JsonSteps::kEightUnits);
  return json.substr(1, json.size() - 2);
}

// CHARACTER at each place among FILL, in texts from 1 to 40 units long: a
// step of sixteen, two, and the last step that ends with the text.
void ExpectSameInEveryPlace(std::u16string_view character, char16_t fill, JsonSteps steps) {
  for (std::size_t length = character.size(); length <= 40; ++length) {
    for (std::size_t at = 0; at + character.size() <= length; ++at) {
      std::u16string text(length - character.size(), fill);
      text.insert(at, character);
      std::string expected;
      for (std::size_t i = 0; i < text.size();) {
        const std::size_t units = i == at ? character.size() : 1;
        expected += Inner(std::u16string_view(text).substr(i, units));
        i += units;
      }
      EXPECT_EQ(tools::JsonString(text, steps), "\"" + expected + "\"") << "length " << length << ", at " << at;
    }
  }
}

TEST_P(JsonStringTest, EveryKindOfUnitIsTheSameInEveryPlaceOfAStep) {
  const std::u16string characters[] = {
      u"\"", u"\\", u"\r", u"\n", std::u16string(1, u'\0'), u"\x1f", u" ", u"~", u"\x7f",
      u"\x80", u"\x7ff", u"\x800", u"今", u"\xD7FF", u"\xE000", u"\xFFFF", u"\xFFFD", u"\xD800",
      u"\xDBFF", u"\xDC00", u"\xDFFF", u"\U0001F600", u"\U0010FFFF"};
  for (const char16_t fill : {u'a', u'今', u'\x3b1', u'"'}) {
    for (const std::u16string& character : characters) {
      SCOPED_TRACE(testing::Message() << "unit " << std::hex << int{character[0]} << " among " << int{fill});
      ExpectSameInEveryPlace(character, fill, GetParam());
    }
  }
}

TEST_P(JsonStringTest, RunsOfOneKindAlternatingAcrossSteps) {
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

// A step writes whole words, eight or sixteen bytes at a time, past what it
// keeps; none of it may fall beyond the room, whatever the text ends with.
TEST_P(JsonStringTest, StepsWriteNothingBeyondTheRoom) {
  const std::u16string ends[] = {u"a", u"ab", u"abc", u"今", u"今今", u"今今今", u"今今今今", u"\x01", u"\xD800"};
  for (const char16_t fill : {u'a', u'今', u'\x01'}) {
    for (std::size_t length = 0; length <= 40; ++length) {
      for (const std::u16string& end : ends) {
        const std::u16string text = std::u16string(length, fill) + end;
        const std::size_t limit = tools::JsonStringRoom(text.size());
        std::string room(limit + 32, '#');
        EXPECT_LE(PutJsonString(text, room.data()) - room.data(), static_cast<std::ptrdiff_t>(limit));
        EXPECT_EQ(room.substr(limit), std::string(32, '#')) << "length " << text.size();
      }
    }
  }
}

// A step loads whole registers; a text that ends where readable memory
// ends must be read to its end and not past it.
TEST_P(JsonStringTest, TextsEndingAtTheEndOfReadableMemory) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  void* const pages = ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(pages, MAP_FAILED);
  ASSERT_EQ(::mprotect(static_cast<char*>(pages) + page, page, PROT_NONE), 0);
  char16_t* const end = reinterpret_cast<char16_t*>(static_cast<char*>(pages) + page);
  for (std::size_t length = 1; length <= 40; ++length) {
    const std::u16string text = std::u16string(length - 1, u'今') + u"a";
    std::copy(text.begin(), text.end(), end - length);
    EXPECT_EQ(JsonString(std::u16string_view(end - length, length)), tools::JsonString(text, JsonSteps::kEightUnits));
  }
  ::munmap(pages, 2 * page);
}

}  // namespace
