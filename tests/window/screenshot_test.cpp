// What a person sees: a grab of the window, looked at pixel by pixel.
#include <gtest/gtest.h>

#include <QImage>

#include "memoapp/pictures.h"
#include "tests/window/window_fixture.h"

namespace {

// Pixels inside AREA (of WIDGET, shrunk by INSET) that pass TEST.
template <class Test>
int Count(const QImage& shot, const QWidget& window, const QWidget& widget, int inset, Test test) {
  const QRect area = QRect(widget.mapTo(&window, QPoint(0, 0)), widget.size()).adjusted(inset, inset, -inset, -inset);
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) count += test(x, shot.pixelColor(x, y));
  }
  return count;
}

bool Ink(int, const QColor& colour) { return colour.lightness() < 128; }

bool ArrowGreen(const QColor& colour) {
  const QColor& green = memoapp::kArrowColour;
  return std::abs(colour.red() - green.red()) < 16 && std::abs(colour.green() - green.green()) < 16 &&
         std::abs(colour.blue() - green.blue()) < 16;
}

}  // namespace

using WindowScreenshot = QtWindowTest;

// Eight memos: the ninth pair shows its caption over an empty box.
TEST_F(WindowScreenshot, ShowsEveryCaptionEveryBodyAndBothArrows) {
  std::vector<CMemoData> memos;
  for (int n = 1; n <= 8; ++n) memos.push_back({u"見出し", u"本文の文字"});
  WriteMemoFile(memos);
  Start();
  const QImage shot = window().grab().toImage();
  for (int k = 0; k < 9; ++k) {
    EXPECT_GT(Count(shot, window(), *label1(k), 0, Ink), 20) << "Label1_" << k;
    const int ink = Count(shot, window(), *text1(k), 4, Ink);
    if (k < 8) EXPECT_GT(ink, 20) << "Text1_" << k;
    else EXPECT_EQ(ink, 0) << "Text1_" << k;
  }
  for (const auto& [name, pointsLeft] : {std::pair{"Command1", true}, {"Command2", false}}) {
    const QWidget& arrow = *button(name);
    const int centre = arrow.mapTo(&window(), QPoint(arrow.width() / 2, 0)).x();
    const auto green = [](int, const QColor& colour) { return ArrowGreen(colour); };
    const auto leftHalf = [&](int x, const QColor& colour) { return x < centre && ArrowGreen(colour); };
    const int all = Count(shot, window(), arrow, 0, green);
    EXPECT_GT(all, 40) << name;
    // A triangle's base half holds more of it than its tip half.
    EXPECT_EQ(Count(shot, window(), arrow, 0, leftHalf) < all / 2, pointsLeft) << name;
  }
}
