// The JSON reader behind script lines: values, string escapes down to
// surrogate pairs, the number grammar, and where a faulty text goes wrong.
#include "tools/json_parse.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tools::JsonSyntaxError;
using tools::JsonValue;
using tools::ParseJson;
using Kind = JsonValue::Kind;

std::u16string StringOf(const std::string& json) {
  const JsonValue value = ParseJson(json);
  EXPECT_EQ(value.kind, Kind::kString) << json;
  return value.string;
}

// The message of the error that parsing JSON raises.
std::string FaultOf(const std::string& json) {
  try {
    ParseJson(json);
  } catch (const JsonSyntaxError& error) {
    return error.what();
  }
  return "(no error)";
}

TEST(JsonParseTest, ReadsNestedValuesKeepingMemberOrder) {
  const JsonValue value = ParseJson(R"( ["a", {"z": 1, "b": [true, false, null]}, -2.5e1] )");
  ASSERT_EQ(value.kind, Kind::kArray);
  ASSERT_EQ(value.array.size(), 3u);
  EXPECT_EQ(value.array[0].string, u"a");
  const JsonValue& object = value.array[1];
  ASSERT_EQ(object.object.size(), 2u);
  EXPECT_EQ(object.object[0].name, u"z");
  EXPECT_EQ(object.object[0].value.number, 1);
  EXPECT_EQ(object.object[1].name, u"b");
  const auto& flags = object.object[1].value.array;
  ASSERT_EQ(flags.size(), 3u);
  EXPECT_TRUE(flags[0].boolean);
  EXPECT_EQ(flags[1].kind, Kind::kBoolean);
  EXPECT_FALSE(flags[1].boolean);
  EXPECT_EQ(flags[2].kind, Kind::kNull);
  EXPECT_EQ(value.array[2].number, -25);
  EXPECT_TRUE(ParseJson("[]").array.empty());
  EXPECT_TRUE(ParseJson("{ }").object.empty());
}

TEST(JsonParseTest, DecodesEveryEscapeAndUtf8) {
  EXPECT_EQ(StringOf(R"("\"\\\/\b\f\n\r\t")"), u"\"\\/\b\f\n\r\t");
  EXPECT_EQ(StringOf(R"("x\u00e9\u3042y")"), u"xéあy");
  EXPECT_EQ(StringOf("\"メモ é\""), u"メモ é");
}

TEST(JsonParseTest, EscapedSurrogatePairIsOneCharacterAndALoneOneStays) {
  EXPECT_EQ(StringOf(R"("\ud83d\ude00")"), u"\U0001F600");
  EXPECT_EQ(StringOf(R"("\uD83D\uDE00")"), StringOf("\"😀\""));
  EXPECT_EQ(StringOf(R"("a\ud83db")"), std::u16string(u"a\xD83D" u"b"));
}

TEST(JsonParseTest, AcceptsOnlyTheJsonNumberGrammar) {
  EXPECT_EQ(ParseJson("0").number, 0);
  EXPECT_EQ(ParseJson("-0.125").number, -0.125);
  EXPECT_EQ(ParseJson("32767").number, 32767);
  EXPECT_EQ(ParseJson("1E+2").number, 100);
  for (const char* bad : {"01", "1.", ".5", "+1", "-", "1e", "0x10"}) {
    EXPECT_THROW(ParseJson(bad), JsonSyntaxError) << bad;
  }
}

// An unexpected token is placed where it starts; a malformed one where it
// broke; a missing one just past the end.
TEST(JsonParseTest, FaultsNameWhatIsWrongAndTheirColumn) {
  EXPECT_EQ(FaultOf(R"(["a" "b"])"), "bad JSON at column 6: unexpected string literal; expected ']'");
  EXPECT_EQ(FaultOf(R"({"a" 1})"), "bad JSON at column 6: unexpected number literal; expected ':'");
  EXPECT_EQ(FaultOf(R"({a: 1})"), "bad JSON at column 2: invalid literal; last read: '{a'; expected string literal");
  EXPECT_EQ(FaultOf(R"(["a)"), "bad JSON at column 4: invalid string: missing closing quote; last read: '\"a'");
  EXPECT_EQ(FaultOf(R"("\q")"),
            "bad JSON at column 3: invalid string: forbidden character after backslash; last read: '\"\\q'");
  EXPECT_EQ(FaultOf(R"("\u12g4")"),
            "bad JSON at column 6: invalid string: '\\u' must be followed by 4 hex digits; last read: '\"\\u12g'");
  EXPECT_EQ(FaultOf("\"a\tb\""),
            "bad JSON at column 3: invalid string: control character U+0009 (HT) must be escaped to \\u0009 or "
            "\\t; last read: '\"a<U+0009>'");
  EXPECT_EQ(FaultOf("[1] x"), "bad JSON at column 5: invalid literal; last read: '1] x'; expected end of input");
  EXPECT_EQ(FaultOf("[tru]"), "bad JSON at column 5: invalid literal; last read: '[tru]'");
  EXPECT_EQ(FaultOf("[1,"), "bad JSON at column 4: unexpected end of input; expected '[', '{', or a literal");
  EXPECT_EQ(FaultOf(""), "bad JSON at column 1: unexpected end of input; expected '[', '{', or a literal");
}

// Lone surrogates are carried past the library, which refuses them, so the
// units around them and the U+FFFF that stands in for them must stay in place.
TEST(JsonParseTest, LoneSurrogatesAndU_FFFFKeepTheirPlaces) {
  const JsonValue value = ParseJson(R"([{"\uDC80k": "\uffff"}, "a\udce9\uFFFF)" "\xEF\xBF\xBF" R"(z\ud800", "\ud83d\ude00\udfff"])");
  ASSERT_EQ(value.array.size(), 3u);
  ASSERT_EQ(value.array[0].object.size(), 1u);
  EXPECT_EQ(value.array[0].object[0].name, std::u16string(u"\xDC80" u"k"));
  EXPECT_EQ(value.array[0].object[0].value.string, std::u16string(1, u'\xFFFF'));
  EXPECT_EQ(value.array[1].string, std::u16string(u"a\xDCE9\xFFFF\xFFFFz\xD800"));
  EXPECT_EQ(value.array[2].string, std::u16string(u"\U0001F600\xDFFF"));
}

// Members keep their written order, a repeated name included, which the
// script's argument forms rely on to refuse {"i2": 1, "i2": 2}.
TEST(JsonParseTest, RepeatedMemberNamesAreKept) {
  const JsonValue value = ParseJson(R"({"i2": 1, "i2": 2})");
  ASSERT_EQ(value.object.size(), 2u);
  EXPECT_EQ(value.object[1].value.number, 2);
}

TEST(JsonParseTest, NestingStopsAtTheLimit) {
  const int limit = tools::kMaxJsonDepth;
  EXPECT_NO_THROW(ParseJson(std::string(limit, '[') + std::string(limit, ']')));
  EXPECT_EQ(FaultOf("[1, " + std::string(limit, '[') + std::string(limit, ']') + "]"),
            "bad JSON at column " + std::to_string(limit + 4) + ": nested deeper than 64 levels");
}

}  // namespace
