// The memo store: its nine slots, the order memos go in, the limit of nine,
// and the copies it keeps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include "memoapp/memo_store.h"
#include <ostrel/com/runtime_error.h>

namespace {

using ModuleMemoData::AddMemoData;
using ModuleMemoData::InitMemoData;
using ModuleMemoData::memoCount;
using ModuleMemoData::memoData;

int ErrorNumberOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const ostrel::com::RuntimeError& error) {
    return error.number();
  }
  return 0;
}

std::u16string Numbered(char16_t prefix, int n) { return std::u16string{prefix, static_cast<char16_t>(u'0' + n)}; }

// The table is process-wide, so an unprepared store is tested in a process of
// its own, started afresh ("threadsafe" runs the test binary again) before
// any other test could have prepared it.
class UnpreparedStore : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  static void ExitWithErrorOf(const std::function<void()>& step) { std::_Exit(ErrorNumberOf(step)); }
};

TEST_F(UnpreparedStore, ReadingASlotRaises9) {
  EXPECT_EXIT(ExitWithErrorOf([] { memoData(1); }), ::testing::ExitedWithCode(9), "");
  EXPECT_EXIT(ExitWithErrorOf([] { memoData(0); }), ::testing::ExitedWithCode(9), "");
}

TEST_F(UnpreparedStore, AddingAMemoRaises9) {
  EXPECT_EXIT(ExitWithErrorOf([] { AddMemoData(u"t", u"s"); }), ::testing::ExitedWithCode(9), "");
}

class MemoStore : public ::testing::Test {
 protected:
  void SetUp() override { InitMemoData(); }
};

TEST_F(MemoStore, PreparedStoreHoldsNineDistinctEmptyMemosAfterAnEmptySlotZero) {
  EXPECT_EQ(memoCount, 0);
  EXPECT_EQ(memoData(0), nullptr);
  std::set<CMemoData*> distinct;
  for (int n = 1; n <= 9; ++n) {
    ASSERT_NE(memoData(n), nullptr) << "slot " << n;
    EXPECT_TRUE(memoData(n)->title.empty());
    EXPECT_TRUE(memoData(n)->sentence.empty());
    distinct.insert(memoData(n));
  }
  EXPECT_EQ(distinct.size(), 9u);
}

TEST_F(MemoStore, SlotsOutsideZeroToNineRaise9) {
  EXPECT_EQ(ErrorNumberOf([] { memoData(-1); }), 9);
  EXPECT_EQ(ErrorNumberOf([] { memoData(10); }), 9);
}

TEST_F(MemoStore, MemosFillTheObjectsAlreadyInSlotsOneOnward) {
  CMemoData* const first = memoData(1);
  CMemoData* const second = memoData(2);
  AddMemoData(u"買い物", u"牛乳");
  AddMemoData(u"予定", u"会議");
  EXPECT_EQ(memoCount, 2);
  EXPECT_EQ(memoData(1), first);
  EXPECT_EQ(memoData(2), second);
  EXPECT_EQ(first->title, u"買い物");
  EXPECT_EQ(first->sentence, u"牛乳");
  EXPECT_EQ(second->title, u"予定");
  EXPECT_EQ(second->sentence, u"会議");
  EXPECT_TRUE(memoData(3)->title.empty());
  EXPECT_EQ(memoData(0), nullptr);
}

TEST_F(MemoStore, TenthAndLaterMemosAreDroppedSilently) {
  for (int n = 0; n < 12; ++n) AddMemoData(Numbered(u't', n), Numbered(u's', n));
  EXPECT_EQ(memoCount, 9);
  for (int n = 1; n <= 9; ++n) {
    EXPECT_EQ(memoData(n)->title, Numbered(u't', n - 1));
    EXPECT_EQ(memoData(n)->sentence, Numbered(u's', n - 1));
  }
}

TEST_F(MemoStore, AMemoWithNothingInItIsCountedLikeAnyOther) {
  AddMemoData(u"", u"");
  AddMemoData(u"t", u"s");
  EXPECT_EQ(memoCount, 2);
  EXPECT_TRUE(memoData(1)->title.empty());
  EXPECT_EQ(memoData(2)->title, u"t");
}

TEST_F(MemoStore, StoredTextsAreCopiesOfTheCallersTexts) {
  std::u16string title = u"title";
  std::u16string sentence = u"sentence";
  AddMemoData(title, sentence);
  title += u" changed";
  sentence.clear();
  EXPECT_EQ(memoData(1)->title, u"title");
  EXPECT_EQ(memoData(1)->sentence, u"sentence");
}

TEST_F(MemoStore, PreparingAgainStartsFromAnEmptyTable) {
  for (int n = 0; n < 9; ++n) AddMemoData(u"t", u"s");
  InitMemoData();
  EXPECT_EQ(memoCount, 0);
  for (int n = 1; n <= 9; ++n) EXPECT_TRUE(memoData(n)->title.empty() && memoData(n)->sentence.empty());
  AddMemoData(u"again", u"s");
  EXPECT_EQ(memoData(1)->title, u"again");
}

}  // namespace
