// FormMain as designed: its captions, the sizes of its window, and where each
// control stands before the first layout. Positions and sizes are in twips
// (1/1440 inch) from the top-left corner of the client area.
#pragma once

#include <cstdint>
#include <string_view>

namespace memoapp::design {

inline constexpr std::u16string_view kCaption = u"Lintrow";
inline constexpr std::u16string_view kMenuFileCaption = u"ファイル(&F)";
inline constexpr std::u16string_view kMenuFileExitCaption = u"終了(&X)";
inline constexpr std::u16string_view kLabelCaption = u"Label1";
inline constexpr std::u16string_view kTextBoxText = u"Text1";

inline constexpr int16_t kPairs = 9;

// What the window draws around its client area: borders on both sides;
// border, caption and menu bar above; border below.
inline constexpr float kFrameWidth = 120;
inline constexpr float kFrameHeight = 690;

inline constexpr float kClientWidth = 6285;
inline constexpr float kClientHeight = 6705;

// The designed outer size is also the smallest the window is let become.
inline constexpr float kMinWidth = kClientWidth + kFrameWidth;     // 6405
inline constexpr float kMinHeight = kClientHeight + kFrameHeight;  // 7395

// The largest outer size whose layout still fits in 16-bit integers.
inline constexpr float kMaxWidth = 49030;
inline constexpr float kMaxHeight = 50385;

struct Rect {
  float left, top, width, height;
};

// Pair k stands in column k mod 3 and row k div 3.
constexpr Rect Label1(int k) { return {240.0f + 2040 * (k % 3), 120.0f + 2040 * (k / 3), 1815, 255}; }
constexpr Rect Text1(int k) { return {120.0f + 2040 * (k % 3), 360.0f + 2040 * (k / 3), 1935, 1695}; }
inline constexpr Rect kCommand1 = {120, 6240, 495, 375};
inline constexpr Rect kCommand2 = {5640, 6240, 495, 375};

// The layout on every resize, in twips. What is taken off the outer size, in
// this order, before the rest is shared among the cells of a row or column:
inline constexpr float kWidthAllowances[] = {120, 270, 210};
inline constexpr float kHeightAllowances[] = {120, 1460, 690};
inline constexpr int16_t kColumns = 3;  // and as many rows
// Where the controls stand in the grid of cells.
inline constexpr int16_t kGridMargin = 120;     // the grid from the client area's left and top
inline constexpr int16_t kColumnGap = 120;      // between the cells of a row
inline constexpr int16_t kLabelIndent = 120;    // a label from its text box's left edge
inline constexpr int16_t kLabelRise = 240;      // a label's top above its text box, but for kTextBoxDrop
inline constexpr float kTextBoxDrop = 20;
inline constexpr int16_t kRowGap = 105;         // below a text box, above the next label
inline constexpr float kButtonsRise = 1155;     // the buttons' top above the window's bottom, ...
inline constexpr float kButtonsDrop = 40;       // ... less this
inline constexpr float kCommand2Inset = 765;    // Command2's left inside the window's right edge

}  // namespace memoapp::design
