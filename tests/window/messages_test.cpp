// The arrow buttons, the exit item and the close control.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "tests/window/window_fixture.h"

namespace {
const std::u16string kNotImplemented = u"サンプルなので何も実装していません。";
}

using WindowMessages = QtWindowTest;

TEST_F(WindowMessages, EachArrowButtonOnlySaysNothingIsImplemented) {
  WriteMemoFile({{u"題", u"本文"}});
  Start();
  const QRect before = text1(0)->geometry();
  button("Command1")->click();
  button("Command2")->click();
  EXPECT_EQ(boxes_, (std::vector<Box>{{kNotImplemented, u"Lintrow"}, {kNotImplemented, u"Lintrow"}}));
  EXPECT_EQ(Captions()[0], u"題");
  EXPECT_EQ(text1(0)->geometry(), before);
  EXPECT_TRUE(endStatuses_.empty());
}

TEST_F(WindowMessages, ExitSaysSoThenEndsWithNoFurtherNotification) {
  WriteMemoFile({});
  Start();
  window().findChild<QAction*>("menuFileExit")->trigger();
  button("Command1")->click();
  EXPECT_EQ(boxes_, (std::vector<Box>{{u"終了", u"Lintrow"}}));
  EXPECT_EQ(endStatuses_, std::vector<int>{0});
}

TEST_F(WindowMessages, ClosingTheWindowEndsSilently) {
  WriteMemoFile({});
  Start();
  EXPECT_TRUE(window().close());
  EXPECT_TRUE(QGuiApplication::quitOnLastWindowClosed());
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(endStatuses_.empty());
}

// A fresh process, so that the real end of the program is seen.
TEST_F(WindowMessages, ExitLeavesTheProcessWithStatusZero) {
  WriteMemoFile({});
  EXPECT_EXIT(RunAsTheProgram([](memoapp::FormWindow& window) { window.menuFileExit()->trigger(); }),
              ::testing::ExitedWithCode(0), "Lintrow: 終了");
}
