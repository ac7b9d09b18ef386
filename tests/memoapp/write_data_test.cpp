// WriteData: the memo file's exact lines, the two ways it goes beyond writing
// texts as they stand (self-closing empty bodies, escaped bodies), and its
// refusal of memos the file cannot give back unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <string>
#include <vector>

#include "memoapp/memo_store.h"
#include "tests/memoapp/memo_file_fixture.h"

namespace {

using Memos = std::vector<CMemoData>;
using TextLines = std::vector<std::u16string>;

class MemoFileWriting : public MemoFileTest {
 protected:
  // Writes MEMOS and returns the file's lines after its six header lines.
  TextLines WrittenBody(const Memos& memos) {
    Store(memos);
    const std::u16string path = PathOf("memo.xml");
    EXPECT_EQ(WriteData(path), 0);
    EXPECT_TRUE(messages_.empty());
    const TextLines lines = Lines(path);
    if (lines.size() < 6) return {};
    return {lines.begin() + 6, lines.end()};
  }

  // Writes MEMOS, reads the file back into a fresh store, returns what it holds.
  Memos WrittenAndRead(const Memos& memos) {
    Store(memos);
    const std::u16string path = PathOf("memo.xml");
    EXPECT_EQ(WriteData(path), 0);
    ModuleMemoData::InitMemoData();
    EXPECT_EQ(Read(path), 0);
    return StoredMemos();
  }
};

bool HoldsADigit(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

TEST_F(MemoFileWriting, AnEmptyTableGivesTheHeaderAndAnEmptyMemoElement) {
  const std::u16string path = PathOf("memo.xml");
  ASSERT_EQ(WriteData(path), 0);
  const TextLines lines = Lines(path);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], u"<?xml version=\"1.0\"  encoding = \"Shift-JIS\" ?>");
  EXPECT_EQ(lines[1], u"");
  EXPECT_EQ(lines[2], u"<!-- @version: -->");
  EXPECT_EQ(lines[3], u"");
  constexpr std::u16string_view kBefore = u"<!--   このファイルはXmlWrite.openによって ";
  constexpr std::u16string_view kAfter = u"　に出力されました。 -->";
  const std::u16string_view dated = lines[4];
  ASSERT_TRUE(dated.starts_with(kBefore) && dated.ends_with(kAfter));
  EXPECT_TRUE(HoldsADigit(dated.substr(kBefore.size(), dated.size() - kBefore.size() - kAfter.size())));
  EXPECT_EQ(lines[5], u"");
  EXPECT_EQ(lines[6], u"<Memo>");
  EXPECT_EQ(lines[7], u"</Memo>");
}

TEST_F(MemoFileWriting, EachMemoIsOneTabIndentedLineInTableOrder) {
  EXPECT_EQ(WrittenBody({{u"A", u"first"}, {u"B", u"second"}}),
            (TextLines{u"<Memo>", u"\t<sentence Title=\"A\">first</sentence>",
                   u"\t<sentence Title=\"B\">second</sentence>", u"</Memo>"}));
}

TEST_F(MemoFileWriting, JapaneseTextIsWrittenAsShiftJisBytes) {
  Store({{u"メモ", u"買い物"}});
  const std::u16string path = PathOf("memo.xml");
  ASSERT_EQ(WriteData(path), 0);
  const std::string expectedTail =
      "<Memo>\r\n\t<sentence Title=\"\x83\x81\x83\x82\">\x94\x83\x82\xa2\x95\xa8</sentence>\r\n</Memo>\r\n";
  EXPECT_TRUE(Bytes(path).ends_with(expectedTail));
}

TEST_F(MemoFileWriting, AMemoWithAnEmptyBodyIsASelfClosingElementAndComesBack) {
  const Memos memos = {{u"x", u""}, {u"", u""}, {u"y", u"body"}};
  EXPECT_EQ(WrittenBody(memos), (TextLines{u"<Memo>", u"\t<sentence Title=\"x\"/>", u"\t<sentence Title=\"\"/>",
                                       u"\t<sentence Title=\"y\">body</sentence>", u"</Memo>"}));
  EXPECT_EQ(WrittenAndRead(memos), memos);
}

TEST_F(MemoFileWriting, AngleBracketsAndQuotesInABodyAreEscapedAndComeBack) {
  const Memos memos = {{u"t", u"if a<b && c>d then say \"yes\""}};
  EXPECT_EQ(WrittenBody(memos),
            (TextLines{u"<Memo>", u"\t<sentence Title=\"t\">if a&lt;b && c&gt;d then say &quot;yes&quot;</sentence>",
                   u"</Memo>"}));
  EXPECT_EQ(WrittenAndRead(memos), memos);
}

TEST_F(MemoFileWriting, AmpersandsAndOtherReferencesStayAsTheyAre) {
  const Memos memos = {{u"&lt;title&gt;", u"AT&T &amp; &apos;"}};
  EXPECT_EQ(WrittenBody(memos), (TextLines{u"<Memo>", u"\t<sentence Title=\"&lt;title&gt;\">AT&T &amp; &apos;</sentence>",
                                       u"</Memo>"}));
  EXPECT_EQ(WrittenAndRead(memos), memos);
}

TEST_F(MemoFileWriting, ABodyWithLineBreaksSpansLinesAndComesBack) {
  const Memos memos = {{u"t", u"one\r\ntwo\r\n\r\nfour"}};
  EXPECT_EQ(WrittenBody(memos),
            (TextLines{u"<Memo>", u"\t<sentence Title=\"t\">one", u"two", u"", u"four</sentence>", u"</Memo>"}));
  EXPECT_EQ(WrittenAndRead(memos), memos);
}

TEST_F(MemoFileWriting, AFileThatCannotBeOpenedIsReportedByTheWriterAlone) {
  Store({{u"t", u"s"}});
  const std::u16string path = PathOf("no such folder/memo.xml");
  EXPECT_EQ(WriteData(path), 0);
  EXPECT_EQ(messages_, (TextLines{path + u"のオープンに失敗しました。"}));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(path)));
}

TEST_F(MemoFileWriting, AMemoTheFileCannotCarryIsRefusedBeforeTheFileIsTouched) {
  const std::u16string path = WriteFile("memo.xml", {u"<Memo>", u"\t<sentence Title=\"old\">kept</sentence>",
                                                     u"</Memo>"});
  const std::string before = Bytes(path);
  Store({{u"fine", u"fine"}, {u"a>b", u"title with a greater-than sign"}});
  std::u16string description;
  EXPECT_EQ(WriteData(path, &description), 5);
  EXPECT_NE(description.find(u"メモ 2 "), std::u16string::npos) << "the memo number is named";
  EXPECT_EQ(Bytes(path), before);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(MemoFileWriting, ARefusedTableCreatesNoFile) {
  Store({{u"t", u"&lt;"}});
  const std::u16string path = PathOf("memo.xml");
  EXPECT_EQ(WriteData(path), 5);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(path)));
}

}  // namespace
