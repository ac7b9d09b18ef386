// What the window shows after loading the memo file of its program folder.
#include <gtest/gtest.h>

#include "tests/window/window_fixture.h"

namespace {

const std::u16string kNotInUse = u"未使用";

std::vector<CMemoData> NumberedMemos(int count) {
  std::vector<CMemoData> memos;
  for (int n = 1; n <= count; ++n) memos.push_back({u"題" + std::u16string(n, u'一'), u"本文 " + std::u16string(n, u'x')});
  return memos;
}

}  // namespace

using WindowLoading = QtWindowTest;

TEST_F(WindowLoading, WithoutAMemoFileTheReaderSaysSoAndNoPairIsInUse) {
  Start();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, u"Ostrel");
  EXPECT_NE(boxes_[0].text.find(PathOf("memo.xml")), std::u16string::npos);
  EXPECT_EQ(Captions(), std::vector<std::u16string>(9, kNotInUse));
  EXPECT_EQ(Texts(), std::vector<std::u16string>(9, u""));
  EXPECT_TRUE(window().isVisible());
}

TEST_F(WindowLoading, ThreeMemosFillTheFirstThreePairs) {
  const std::vector<CMemoData> memos = NumberedMemos(3);
  WriteMemoFile(memos);
  Start();
  EXPECT_TRUE(boxes_.empty());
  for (int k = 0; k < 9; ++k) {
    EXPECT_EQ(Captions()[k], k < 3 ? memos[k].title : kNotInUse) << k;
    EXPECT_EQ(Texts()[k], k < 3 ? memos[k].sentence : u"") << k;
  }
}

TEST_F(WindowLoading, TwelveMemosShowTheFirstNine) {
  const std::vector<CMemoData> memos = NumberedMemos(12);
  WriteMemoFile(memos);
  Start();
  for (int k = 0; k < 9; ++k) EXPECT_EQ(Captions()[k], memos[k].title) << k;
}

TEST_F(WindowLoading, AnEmptyTitleShowsAnEmptyCaption) {
  WriteMemoFile({{u"", u"題なし"}});
  Start();
  EXPECT_EQ(Captions()[0], u"");
  EXPECT_EQ(Texts()[0], u"題なし");
}

TEST_F(WindowLoading, ABodyOverSeveralLinesShowsItsLineBreaks) {
  WriteMemoFile({{u"二行", u"一行目\r\n二行目"}});
  Start();
  EXPECT_EQ(text1(0)->document()->blockCount(), 2);
  EXPECT_EQ(Texts()[0], u"一行目\n二行目");
}

TEST_F(WindowLoading, TheMemoFileIsNeverChanged) {
  const std::string before = Bytes(WriteMemoFile(NumberedMemos(4)));
  Start();
  window().findChild<QAction*>("menuFileExit")->trigger();
  EXPECT_EQ(Bytes(PathOf("memo.xml")), before);
}

// The shipped sample holds nine memos in exactly the lines WriteData writes,
// its time stamp aside.
TEST_F(WindowLoading, TheSampleFileIsWhatWriteDataWouldWrite) {
  std::filesystem::copy_file(OSTREL_SOURCE_DIR "/memoapp/sample/memo.xml", folder_ / "memo.xml");
  Start();
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(ModuleMemoData::memoCount, 9);
  ASSERT_EQ(WriteData(PathOf("rewritten.xml")), 0);
  std::vector<std::u16string> sample = Lines(PathOf("memo.xml"));
  std::vector<std::u16string> rewritten = Lines(PathOf("rewritten.xml"));
  ASSERT_EQ(sample.size(), 17u);
  ASSERT_EQ(rewritten.size(), 17u);
  sample.erase(sample.begin() + 4);
  rewritten.erase(rewritten.begin() + 4);
  EXPECT_EQ(sample, rewritten);
}
