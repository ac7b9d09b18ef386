// The grid layout, number for number, through a toolkit that keeps positions
// exactly.
#include <gtest/gtest.h>

#include "memoapp/main_window.h"
#include <ostrel/com/runtime_error.h>
#include "tests/window/exact_toolkit.h"

using memoapp::Command1;
using memoapp::Command2;
using memoapp::Label1;
using memoapp::Text1;
namespace design = memoapp::design;

namespace {

ExactToolkit LaidOut(float width, float height) {
  ExactToolkit toolkit(width, height);
  memoapp::FormMain(toolkit).Form_Resize();
  return toolkit;
}

void ExpectRect(const design::Rect& actual, const design::Rect& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.width, expected.width);
  EXPECT_EQ(actual.height, expected.height);
}

void ExpectSameLayout(const ExactToolkit& actual, const ExactToolkit& expected) {
  for (int16_t k = 0; k < design::kPairs; ++k) {
    SCOPED_TRACE(k);
    ExpectRect(actual.geometry(Label1(k)), expected.geometry(Label1(k)));
    ExpectRect(actual.geometry(Text1(k)), expected.geometry(Text1(k)));
  }
  ExpectRect(actual.geometry(Command1), expected.geometry(Command1));
  ExpectRect(actual.geometry(Command2), expected.geometry(Command2));
}

}  // namespace

TEST(LayoutAtDesignSize, GridStandsAtTheTabulatedPositions) {
  const ExactToolkit toolkit = LaidOut(6405, 7395);
  const float labelLeft[] = {240, 2295, 4350};
  const float labelTop[] = {120, 2173, 4226};
  const float textLeft[] = {120, 2175, 4230};
  const float textTop[] = {380, 2433, 4486};
  for (int16_t k = 0; k < design::kPairs; ++k) {
    SCOPED_TRACE(k);
    ExpectRect(toolkit.geometry(Label1(k)), {labelLeft[k % 3], labelTop[k / 3], 1815, 255});
    ExpectRect(toolkit.geometry(Text1(k)), {textLeft[k % 3], textTop[k / 3], 1935, 1708});
  }
}

TEST(LayoutAtDesignSize, ButtonsKeepTheirSizeAndFollowTheBottomAndRightEdges) {
  const ExactToolkit toolkit = LaidOut(6405, 7395);
  EXPECT_TRUE(toolkit.windowSets.empty());
  ExpectRect(toolkit.geometry(Command1), {120, 6280, 495, 375});
  ExpectRect(toolkit.geometry(Command2), {5640, 6280, 495, 375});
}

TEST(MinimumSize, NarrowWindowGetsTheMinimumWidthOnly) {
  const ExactToolkit toolkit = LaidOut(5000, 9000);
  EXPECT_EQ(toolkit.windowSets, (std::vector<ExactToolkit::WindowSet>{{'W', 6405}}));
  ExpectSameLayout(toolkit, LaidOut(6405, 9000));
}

TEST(MinimumSize, SmallWindowGetsWidthThenHeight) {
  const ExactToolkit toolkit = LaidOut(5000, 5000);
  EXPECT_EQ(toolkit.windowSets, (std::vector<ExactToolkit::WindowSet>{{'W', 6405}, {'H', 7395}}));
  ExpectSameLayout(toolkit, LaidOut(6405, 7395));
}

TEST(MinimumSize, ComparisonIsStrict) {
  EXPECT_EQ(LaidOut(6405, 7000).windowSets, (std::vector<ExactToolkit::WindowSet>{{'H', 7395}}));
  EXPECT_EQ(LaidOut(6404.5f, 7395).windowSets, (std::vector<ExactToolkit::WindowSet>{{'W', 6405}}));
}

TEST(MinimumSize, NestedResizeEndsWithTheSameLayout) {
  ExactToolkit toolkit(5000, 5000);
  memoapp::FormMain form(toolkit);
  toolkit.DeliverNestedResizes(&form);
  form.Form_Resize();
  EXPECT_EQ(toolkit.windowSets, (std::vector<ExactToolkit::WindowSet>{{'W', 6405}, {'H', 7395}}));
  ExpectSameLayout(toolkit, LaidOut(6405, 7395));
}

TEST(Minimised, NothingIsClampedOrMoved) {
  ExactToolkit toolkit(5000, 5000);
  toolkit.minimized = true;
  memoapp::FormMain(toolkit).Form_Resize();
  EXPECT_TRUE(toolkit.windowSets.empty());
  EXPECT_EQ(toolkit.controlSets, 0);
  ExpectRect(toolkit.geometry(Text1(4)), design::Text1(4));
}

TEST(Minimised, RestoringLaysOutForTheRestoredSize) {
  ExactToolkit toolkit(9000, 9000);
  memoapp::FormMain form(toolkit);
  toolkit.minimized = true;
  form.Form_Resize();
  toolkit.minimized = false;
  form.Form_Resize();
  ExpectSameLayout(toolkit, LaidOut(9000, 9000));
}

TEST(CellRounding, ExactHalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(LaidOut(6406.5f, 7395).geometry(Text1(0)).width, 1936);  // 1935.5
  EXPECT_EQ(LaidOut(6409.5f, 7395).geometry(Text1(0)).width, 1936);  // 1936.5
  EXPECT_EQ(LaidOut(6405, 7395.5f).geometry(Text1(0)).height, 1708);  // 1708.5
  EXPECT_EQ(LaidOut(6405, 7398.5f).geometry(Text1(0)).height, 1710);  // 1709.5
}

// A toolkit of whole pixels may move a label; its text box then follows the
// label where it really stands, not where it was asked to stand.
TEST(PixelReadBack, TextBoxFollowsTheLabelsSnappedTop) {
  ExactToolkit toolkit(6405, 7395);
  toolkit.SnapTo(100);
  memoapp::FormMain(toolkit).Form_Resize();
  EXPECT_EQ(toolkit.geometry(Label1(3)).top, 2200);  // asked 2173
  EXPECT_EQ(toolkit.geometry(Text1(3)).top, 2500);   // 2460, not 2433
  EXPECT_EQ(toolkit.geometry(Label1(8)).top, 4200);  // asked 4226
  EXPECT_EQ(toolkit.geometry(Text1(8)).top, 4500);   // 4460, not 4486
}

// Only the row pitch is 16-bit: the label's top goes past 32767 unharmed.
TEST(SixteenBitLimits, LargestSizeStillFitsWithTheLastAdditionWider) {
  const ExactToolkit toolkit = LaidOut(design::kMaxWidth, design::kMaxHeight);
  EXPECT_EQ(toolkit.geometry(Label1(2)).left, 32766);
  EXPECT_EQ(toolkit.geometry(Label1(6)).top, 32886);
  EXPECT_EQ(toolkit.geometry(Text1(6)).top, 33146);
}

TEST(SixteenBitLimits, BeyondTheLargestSizeTheLayoutOverflows) {
  for (const auto& [width, height] : {std::pair{design::kMaxWidth + 3, 9000.0f}, {9000.0f, design::kMaxHeight + 1}}) {
    try {
      LaidOut(width, height);
      ADD_FAILURE() << width << " x " << height << " laid out";
    } catch (const ostrel::com::RuntimeError& error) {
      EXPECT_EQ(error.number(), ostrel::com::errnum::kOverflow);
    }
  }
}
