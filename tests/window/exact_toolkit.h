// ExactToolkit: a toolkit that keeps every position and size exactly as
// FormMain gives it (or, when asked, snaps it to a grid, as a toolkit of
// whole pixels would), and records what FormMain asks of it. Controls start
// where the design puts them.
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "memoapp/form_design.h"
#include "memoapp/main_window.h"
#include "memoapp/toolkit.h"

class ExactToolkit final : public memoapp::Toolkit {
 public:
  using Control = memoapp::Control;
  using Rect = memoapp::design::Rect;
  // One change of the window's outer size: 'W' width or 'H' height.
  struct WindowSet {
    char dimension;
    float twips;
    friend bool operator==(const WindowSet&, const WindowSet&) = default;
  };

  ExactToolkit(float width, float height) : width_(width), height_(height) {
    for (int16_t k = 0; k < memoapp::design::kPairs; ++k) {
      rect(memoapp::Label1(k)) = memoapp::design::Label1(k);
      rect(memoapp::Text1(k)) = memoapp::design::Text1(k);
    }
    rect(memoapp::Command1) = memoapp::design::kCommand1;
    rect(memoapp::Command2) = memoapp::design::kCommand2;
  }

  // After each change of the window's size, FORM gets a Form_Resize while
  // the handler that made the change is still running.
  void DeliverNestedResizes(memoapp::FormMain* form) { nestedForm_ = form; }
  // Positions and sizes of controls become the nearest multiple of GRID.
  void SnapTo(float grid) { grid_ = grid; }

  const Rect& geometry(Control control) const { return rects_.at(Slot(control)); }

  bool minimized = false;
  std::vector<WindowSet> windowSets;
  int controlSets = 0;

  bool WindowMinimized() const override { return minimized; }
  float WindowWidth() const override { return width_; }
  float WindowHeight() const override { return height_; }
  void SetWindowWidth(float twips) override { SetWindow('W', width_, twips); }
  void SetWindowHeight(float twips) override { SetWindow('H', height_, twips); }

  void SetLeft(Control control, float twips) override { Set(rect(control).left, twips); }
  void SetTop(Control control, float twips) override { Set(rect(control).top, twips); }
  void SetWidth(Control control, float twips) override { Set(rect(control).width, twips); }
  void SetHeight(Control control, float twips) override { Set(rect(control).height, twips); }
  float Top(Control control) const override { return geometry(control).top; }

  // The layout needs none of these.
  void SetCaption(int16_t, std::u16string_view) override {}
  void SetText(int16_t, std::u16string_view) override {}
  void MessageBox(std::u16string_view) override {}
  void EndProgram(int) override {}
  std::u16string ProgramFolder() const override { return {}; }

 private:
  static int Slot(Control control) {
    constexpr int kPairs = memoapp::design::kPairs;
    switch (control.kind) {
      case Control::Kind::kLabel1: return control.index;
      case Control::Kind::kText1: return kPairs + control.index;
      case Control::Kind::kCommand1: return 2 * kPairs;
      case Control::Kind::kCommand2: return 2 * kPairs + 1;
    }
    return -1;
  }
  Rect& rect(Control control) { return rects_.at(Slot(control)); }

  void Set(float& property, float twips) {
    ++controlSets;
    property = grid_ > 0 ? std::round(twips / grid_) * grid_ : twips;
  }
  void SetWindow(char dimension, float& size, float twips) {
    windowSets.push_back({dimension, twips});
    size = twips;
    if (nestedForm_) nestedForm_->Form_Resize();
  }

  float width_;
  float height_;
  float grid_ = 0;
  memoapp::FormMain* nestedForm_ = nullptr;
  std::array<Rect, 2 * memoapp::design::kPairs + 2> rects_{};
};
