// The Qt window: what it is made of, and its layout in whole pixels at the
// offscreen platform's 96 DPI (15 twips a pixel).
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>

#include "tests/window/window_fixture.h"

using memoapp::Label1;

class QtWindow : public QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    WriteMemoFile({});
    Start();
    ASSERT_EQ(window().logicalDpiX(), 96);
    ASSERT_EQ(window().logicalDpiY(), 96);
  }
  // Resizes the window as a user would, by its client area in pixels.
  void ResizeClient(int width, int height) {
    window().resize(QSize(width, height) + window().size() - window().client()->size());
    QApplication::processEvents();
  }
};

TEST_F(QtWindow, HasTheDesignedCaptionMenuAndButtons) {
  EXPECT_EQ(window().windowTitle(), "Lintrow");
  EXPECT_FALSE(window().windowIcon().isNull());
  const QMenu* menuFile = window().findChild<QMenu*>("menuFile");
  ASSERT_NE(menuFile, nullptr);
  EXPECT_EQ(menuFile->title(), "ファイル(&F)");
  ASSERT_EQ(menuFile->actions().size(), 1);
  EXPECT_EQ(menuFile->actions()[0]->objectName(), "menuFileExit");
  EXPECT_EQ(menuFile->actions()[0]->text(), "終了(&X)");
  for (const char* name : {"Command1", "Command2"}) {
    EXPECT_TRUE(button(name)->text().isEmpty());
    EXPECT_FALSE(button(name)->icon().isNull());
  }
}

TEST_F(QtWindow, TabOrderRunsThroughThePairsThenTheButtons) {
  QStringList order;
  QWidget* widget = text1(0);
  do {
    if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
    widget = widget->nextInFocusChain();
  } while (widget != text1(0));
  EXPECT_EQ(order, QStringList({"Text1_0", "Text1_1", "Text1_2", "Text1_3", "Text1_4", "Text1_5", "Text1_6",
                                "Text1_7", "Text1_8", "Command1", "Command2"}));
}

TEST_F(QtWindow, TextsShowAsPlainLinesInReadOnlyBoxes) {
  toolkit_->SetCaption(0, u"<b>太字</b>");
  toolkit_->SetText(0, u"a\r\nb");
  EXPECT_EQ(label1(0)->text(), "<b>太字</b>");
  EXPECT_EQ(label1(0)->textFormat(), Qt::PlainText);
  EXPECT_EQ(text1(0)->document()->blockCount(), 2);
  EXPECT_TRUE(text1(0)->isReadOnly());
  EXPECT_EQ(text1(0)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(text1(0)->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

// Laid out by the first show, before any event has been processed.
TEST_F(QtWindow, FirstShowLaysOutTheDesignSizeInSnappedPixels) {
  EXPECT_EQ(toolkit_->WindowWidth(), 6405);
  EXPECT_EQ(toolkit_->WindowHeight(), 7395);
  EXPECT_EQ(label1(4)->geometry(), QRect(153, 145, 121, 17));  // 2295, 2173 (snapped 2175), 1815 x 255
  EXPECT_EQ(text1(4)->geometry(), QRect(145, 162, 129, 114));  // top 240 + 2175 + 20 = 2435
  EXPECT_EQ(toolkit_->Top(Label1(4)), 2175);
  EXPECT_EQ(button("Command1")->geometry(), QRect(8, 419, 33, 25));
  EXPECT_EQ(button("Command2")->geometry(), QRect(376, 419, 33, 25));
}

TEST_F(QtWindow, ResizingLaysTheGridOutAgain) {
  ResizeClient(592, 554);  // 9000 x 9000 twips outside
  EXPECT_EQ(toolkit_->WindowWidth(), 9000);
  EXPECT_EQ(label1(4)->geometry(), QRect(211, 181, 179, 17));  // 3160, 2708 (snapped 2715), 2680
  EXPECT_EQ(text1(4)->geometry(), QRect(203, 198, 187, 150));  // 3040, 2975, 2800 x 2243
  EXPECT_EQ(button("Command2")->geometry().topLeft(), QPoint(549, 526));  // 8235, 7885
}

TEST_F(QtWindow, QtKeepsTheWindowWithinTheMinimumAndTheSixteenBitMaximum) {
  ResizeClient(100, 100);
  EXPECT_EQ(toolkit_->WindowWidth(), 6405);
  EXPECT_EQ(toolkit_->WindowHeight(), 7395);
  ResizeClient(100000, 100000);
  EXPECT_LE(toolkit_->WindowWidth(), memoapp::design::kMaxWidth);
  EXPECT_LE(toolkit_->WindowHeight(), memoapp::design::kMaxHeight);
  EXPECT_GT(toolkit_->WindowWidth(), memoapp::design::kMaxWidth - 15);
}

TEST_F(QtWindow, MinimisedNothingMovesAndRestoringLaysOutAgain) {
  label1(0)->move(0, 0);
  window().showMinimized();
  QApplication::processEvents();
  EXPECT_EQ(label1(0)->pos(), QPoint(0, 0));
  window().showNormal();
  QApplication::processEvents();
  EXPECT_EQ(label1(0)->pos(), QPoint(16, 8));
}
