// What the writer puts in the file: the header byte for byte, comment lines,
// indentation and the escaping of element content.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/xmllib/writer_fixture.h"

namespace ostrel_test {
namespace {

// Line 5 around its date and time, in CP932: "このファイルは", "によって",
// then the ideographic space (81 40) and "に出力されました。".
constexpr std::string_view kStampOpening =
    "<!--   \x82\xB1\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCD" "XmlWrite.open" "\x82\xC9\x82\xE6\x82\xC1\x82\xC4 ";
constexpr std::string_view kStampClosing =
    "\x81\x40" "\x82\xC9\x8F\x6F\x97\xCD\x82\xB3\x82\xEA\x82\xDC\x82\xB5\x82\xBD\x81\x42 -->\r\n";

using WriterHeader = WriterTest;

TEST_F(WriterHeader, IsSixLinesEndedByCrLfInShiftJis) {
  ASSERT_TRUE(writer.XmlOpen(PathOf("out.xml")));
  ASSERT_TRUE(writer.XmlClose());
  const std::string bytes = Bytes("out.xml");
  const std::string fixed = "<?xml version=\"1.0\"  encoding = \"Shift-JIS\" ?>\r\n\r\n<!-- @version: -->\r\n\r\n";
  ASSERT_TRUE(bytes.starts_with(fixed));
  ASSERT_TRUE(bytes.substr(fixed.size()).starts_with(kStampOpening));
  const std::string tail = std::string(kStampClosing) + "\r\n";
  ASSERT_TRUE(bytes.ends_with(tail));
  const std::size_t stampStart = fixed.size() + kStampOpening.size();
  const std::string stamp = bytes.substr(stampStart, bytes.size() - tail.size() - stampStart);
  EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d{1,4}[/.-]\d{1,2}[/.-]\d{1,4} \d{1,2}:\d\d:\d\d)"))) << stamp;
  EXPECT_TRUE(messageBoxes.empty());
}

TEST_F(WriterHeader, OpeningAnExistingFileEmptiesIt) {
  WriteLines("out.xml", {"old line one", "old line two"});
  ASSERT_TRUE(writer.XmlOpen(PathOf("out.xml")));
  ASSERT_TRUE(writer.WriteOneEllement(0, u"<new/>"));
  ASSERT_TRUE(writer.XmlClose());
  EXPECT_EQ(Body("out.xml"), "<new/>\r\n");
  EXPECT_EQ(Bytes("out.xml").find("old"), std::string::npos);
}

class WriterLines : public WriterTest {
 protected:
  void SetUp() override {
    WriterTest::SetUp();
    ASSERT_TRUE(writer.XmlOpen(PathOf("out.xml")));
  }
  std::string Written() {
    EXPECT_TRUE(writer.XmlClose());
    return Body("out.xml");
  }
};

TEST_F(WriterLines, CommentHasTwoBlanksEachSideAndAnEmptyLineAfterIt) {
  EXPECT_TRUE(writer.WriteComment(u"note <b> & \"q\""));
  EXPECT_TRUE(writer.WriteComment(u""));
  EXPECT_EQ(Written(), "<!--  note <b> & \"q\"  -->\r\n\r\n<!--    -->\r\n\r\n");
}

TEST_F(WriterLines, IndentIsOneTabPerLevelAndNoneForZeroOrLess) {
  EXPECT_TRUE(writer.WriteOneEllement(3, u"<a>"));
  EXPECT_TRUE(writer.WriteOneEllement(0, u"<b>"));
  EXPECT_TRUE(writer.WriteOneEllement(-5, u"<c>"));
  EXPECT_TRUE(writer.WriteSetEllement(2, u"<d>", u"x", u"</d>"));
  EXPECT_TRUE(writer.WriteSetEllement(-1, u"<e>", u"y", u"</e>"));
  EXPECT_EQ(Written(), "\t\t\t<a>\r\n<b>\r\n<c>\r\n\t\t<d>x</d>\r\n<e>y</e>\r\n");
}

TEST_F(WriterLines, ElementTextIsWrittenAsPassedAndConvertedToShiftJis) {
  EXPECT_TRUE(writer.WriteOneEllement(1, u"<sentence Title=\"<&>\">メモ</sentence>"));
  EXPECT_TRUE(writer.WriteOneEllement(0, u"a\r\nb"));
  EXPECT_EQ(Written(), "\t<sentence Title=\"<&>\">\x83\x81\x83\x82</sentence>\r\na\r\nb\r\n");
}

TEST_F(WriterLines, ContentEscapesGreaterLessAndQuotationMarkOnly) {
  EXPECT_TRUE(writer.WriteSetEllement(0, u"<t a=\"1\">", u"a>b<c\"d & e &lt; 'f'", u"</t>"));
  EXPECT_TRUE(writer.WriteSetEllement(0, u"<t>", u"", u"</t>"));
  EXPECT_EQ(Written(), "<t a=\"1\">a&gt;b&lt;c&quot;d & e &lt; 'f'</t>\r\n<t></t>\r\n");
}

TEST_F(WriterLines, ContentOfTheCallerIsLeftUnchanged) {
  ostrel::com::Bstr start(u"<t>"), content(u"<x>"), end(u"</t>");
  int16_t indentNo = 0;
  VARIANT_BOOL result = VARIANT_FALSE;
  ASSERT_EQ(writer.get()->WriteSetEllement(&indentNo, start.Address(), content.Address(), end.Address(), &result),
            S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);
  EXPECT_EQ(content.view(), u"<x>");
  EXPECT_EQ(Written(), "<t>&lt;x&gt;</t>\r\n");
}

// A quotation mark is replaced only after every ">", so it does not push the
// ">" behind it: that one is found at 32,765.
TEST_F(WriterLines, EscapedCharacterUpToPosition32766IsWritten) {
  EXPECT_TRUE(writer.WriteSetEllement(0, u"", std::u16string(32765, u'a') + u">", u""));
  EXPECT_TRUE(writer.WriteSetEllement(0, u"", u"\"" + std::u16string(32763, u'a') + u">", u""));
  EXPECT_EQ(Written(), std::string(32765, 'a') + "&gt;\r\n&quot;" + std::string(32763, 'a') + "&gt;\r\n");
}

// Positions count in the text as the replacements so far have made it: the
// second ">" below stands at 32,764 in the content but at 32,767 once the
// first has become "&gt;"; the "<" at 32,761 is pushed there by both.
TEST_F(WriterLines, EscapedCharacterReachingPosition32767FailsWithOverflowAndWritesNothing) {
  EXPECT_TRUE(writer.WriteOneEllement(0, u"before"));
  const std::u16string pushedBySameRow = u">" + std::u16string(32762, u'a') + u">";
  const std::u16string pushedByEarlierRows = u">>" + std::u16string(32758, u'a') + u"<";
  const std::u16string farOut = std::u16string(40000, u'a') + u"\"";
  for (const std::u16string& content : {pushedBySameRow, pushedByEarlierRows, farOut}) {
    EXPECT_EQ(ErrorOf([&] { writer.WriteSetEllement(0, u"<t>", content, u"</t>"); }).number(), 6);
  }
  EXPECT_EQ(Written(), "before\r\n");
}

TEST_F(WriterLines, Indent32767WritesItsTabsThenFailsWithOverflow) {
  EXPECT_EQ(ErrorOf([&] { writer.WriteOneEllement(32767, u"<lost>"); }).number(), 6);
  EXPECT_EQ(Body("out.xml"), std::string(32767, '\t'));  // on disk, though the call failed
  EXPECT_EQ(ErrorOf([&] { writer.WriteSetEllement(32767, u"<lost>", u"", u""); }).number(), 6);
  EXPECT_TRUE(writer.WriteOneEllement(0, u"<next>"));
  EXPECT_EQ(Written(), std::string(2 * 32767, '\t') + "<next>\r\n");
}

}  // namespace
}  // namespace ostrel_test
