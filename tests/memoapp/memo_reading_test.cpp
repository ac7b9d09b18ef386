// Reading memo files: CXmlMemoReader as the handler of Ostrel's own reader,
// on the shapes a memo file can take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memoapp/memo_file_handler.h"
#include "memoapp/memo_store.h"
#include <ostrel/com/com_runtime.h>
#include <ostrel/com/text.h>
#include "tests/memoapp/memo_file_fixture.h"
#include <ostrel/ostrel.h>

namespace {

using Memos = std::vector<CMemoData>;

class MemoReading : public MemoFileTest {
 protected:
  // Reads a file of LINES and returns the memos stored.
  Memos ReadLines(const std::vector<std::u16string>& lines) {
    EXPECT_EQ(Read(WriteFile("memo.xml", lines)), 0);
    EXPECT_TRUE(messages_.empty());
    return StoredMemos();
  }
};

TEST_F(MemoReading, AFileAsTheWriterLaysItOutGivesItsMemosInOrder) {
  const std::vector<std::u16string> file = {
      u"<?xml version=\"1.0\"  encoding = \"Shift-JIS\" ?>", u"", u"<!-- @version: -->", u"",
      u"<!--   このファイルはXmlWrite.openによって 2002/08/26 16:53:09　に出力されました。 -->", u"",
      u"<Memo>", u"\t<sentence Title=\"買い物\">牛乳と卵</sentence>", u"\t<sentence Title=\"B\">second</sentence>",
      u"</Memo>"};
  EXPECT_EQ(ReadLines(file), (Memos{{u"買い物", u"牛乳と卵"}, {u"B", u"second"}}));
}

TEST_F(MemoReading, AFileWithoutSentencesLeavesTheStoreEmpty) {
  EXPECT_TRUE(ReadLines({u"<Memo>", u"<other Title=\"x\">text</other>", u"</Memo>"}).empty());
  for (int n = 1; n <= 9; ++n) EXPECT_TRUE(ModuleMemoData::memoData(n)->title.empty());
}

TEST_F(MemoReading, ASentenceWithoutTitleIsStoredWithAnEmptyTitle) {
  EXPECT_EQ(ReadLines({u"<Memo>", u"<sentence>x</sentence>", u"<sentence Note=\"n\">y</sentence>", u"</Memo>"}),
            (Memos{{u"", u"x"}, {u"", u"y"}}));
}

TEST_F(MemoReading, TheTitleKeyIsFoundWhateverItsCase) {
  EXPECT_EQ(ReadLines({u"<Memo>", u"<sentence title=\"lower\">a</sentence>",
                       u"<sentence TITLE=\"upper\">b</sentence>", u"</Memo>"}),
            (Memos{{u"lower", u"a"}, {u"upper", u"b"}}));
}

TEST_F(MemoReading, ElementNamesOnlyMatchInExactlyThatCase) {
  EXPECT_EQ(ReadLines({u"<Memo>", u"<Sentence Title=\"a\">capital</Sentence>",
                       u"<SENTENCE Title=\"b\">capitals</SENTENCE>", u"<sentence Title=\"c\">exact</sentence>",
                       u"</Memo>"}),
            (Memos{{u"c", u"exact"}}));
}

TEST_F(MemoReading, TheRootElementPlaysNoPart) {
  const Memos expected = {{u"t", u"x"}};
  EXPECT_EQ(ReadLines({u"<Notes>", u"<sentence Title=\"t\">x</sentence>", u"</Notes>"}), expected);
  ModuleMemoData::InitMemoData();
  EXPECT_EQ(ReadLines({u"<sentence Title=\"t\">x</sentence>"}), expected);
  ModuleMemoData::InitMemoData();
  EXPECT_EQ(ReadLines({u"<a>", u"<b>", u"<sentence Title=\"t\">x</sentence>", u"</b>", u"</a>"}), expected);
}

TEST_F(MemoReading, TextInterruptedByAChildGivesTwoMemosUnderOneTitle) {
  EXPECT_EQ(ReadLines({u"<Memo>", u"<sentence Title=\"t\">x<b>y</b>z</sentence>", u"</Memo>"}),
            (Memos{{u"t", u"x"}, {u"t", u"z"}}));
}

TEST_F(MemoReading, AfterANestedSentenceTheOuterTextKeepsTheInnerTitle) {
  EXPECT_EQ(ReadLines({u"<Memo>",
                       u"<sentence Title=\"outer\">a<sentence Title=\"inner\">b</sentence>c</sentence>",
                       u"</Memo>"}),
            (Memos{{u"outer", u"a"}, {u"inner", u"b"}, {u"inner", u"c"}}));
}

TEST_F(MemoReading, ASelfClosingSentenceIsAMemoWithAnEmptyBody) {
  EXPECT_EQ(ReadLines({u"<Memo>", u"\t<sentence Title=\"x\"/>", u"</Memo>"}), (Memos{{u"x", u""}}));
}

TEST_F(MemoReading, AStartTagDirectlyFollowedByItsEndTagIsNoMemo) {
  EXPECT_TRUE(ReadLines({u"<Memo>", u"\t<sentence Title=\"x\"></sentence>", u"</Memo>"}).empty());
}

TEST_F(MemoReading, AnUnfinishedLastSentenceIsAMemoWithAnEmptyBody) {
  EXPECT_EQ(ReadLines({u"<Memo>", u"<sentence Title=\"a\">done</sentence>", u"<sentence Title=\"x\">cut off"}),
            (Memos{{u"a", u"done"}, {u"x", u""}}));
}

TEST_F(MemoReading, AFaultStopsTheReadButKeepsTheMemosBeforeIt) {
  EXPECT_EQ(ReadLines({u"<Memo>", u"<sentence Title=\"a\">kept</sentence>", u"</Wrong>",
                       u"<sentence Title=\"b\">never read</sentence>", u"</Memo>"}),
            (Memos{{u"a", u"kept"}}));
}

TEST_F(MemoReading, OnlyTheFirstNineOfTwelveSentencesAreStored) {
  std::vector<std::u16string> file = {u"<Memo>"};
  Memos expected;
  for (char16_t c = u'a'; c < u'a' + 12; ++c) {
    const std::u16string letter(1, c);
    file.push_back(u"\t<sentence Title=\"" + letter + u"\">" + letter + letter + u"</sentence>");
    if (expected.size() < 9) expected.push_back({letter, letter + letter});
  }
  file.push_back(u"</Memo>");
  EXPECT_EQ(ReadLines(file), expected);
}

TEST_F(MemoReading, EntityReferencesInTheBodyAreDecoded) {
  EXPECT_EQ(ReadLines({u"<sentence Title=\"t\">&lt;a&gt; &quot;b&quot; &amp;</sentence>"}),
            (Memos{{u"t", u"<a> \"b\" &amp;"}}));
}

class MemoReaderObject : public MemoFileTest {};

TEST_F(MemoReaderObject, OffersTheHandlerInterfaceBesideItsDefaultOne) {
  const auto reader = NewCXmlMemoReader();
  ASSERT_TRUE(reader);
  const auto handler = reader.As<_IXmlHandler>();
  ASSERT_TRUE(handler);
  EXPECT_EQ(handler.As<_CXmlMemoReader>().get(), reader.get());
  EXPECT_EQ(reader.As<IDispatch>().get(), static_cast<IDispatch*>(reader.get()));
}

TEST_F(MemoReaderObject, TheHandlerCanBeCalledByName) {
  const auto reader = NewCXmlMemoReader();
  ostrel::com::Bstr name(u"sentence");
  ostrel::com::Bstr text(u"by name");
  VARIANT arguments[2];
  arguments[0].vt = VT_BSTR | VT_BYREF;
  arguments[0].pbstrVal = name.Address();
  arguments[1].vt = VT_BSTR | VT_BYREF;
  arguments[1].pbstrVal = text.Address();
  VARIANT result = ostrel::com::CallByName(reader.get(), u"contentData", arguments, 2);
  VariantClear(&result);
  EXPECT_EQ(StoredMemos(), (Memos{{u"", u"by name"}}));
}

}  // namespace
