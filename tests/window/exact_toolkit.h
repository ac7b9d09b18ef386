// ExactToolkit: a toolkit that keeps every position and size exactly as
// FormMain gives it (or, when asked, snaps it to a grid, as a toolkit of
// whole pixels would), and records what FormMain asks of it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "memoapp/form_design.h"
#include "memoapp/main_window.h"
#include "memoapp/toolkit.h"

class ExactToolkit final : public memoapp::Toolkit {
 public:
  // One change of the window's outer size: 'W' width or 'H' height.
  struct WindowSet {
    char dimension;
    float twips;
    friend bool operator==(const WindowSet&, const WindowSet&) = default;
  };

  // Controls start where the design puts them.
  ExactToolkit(float width, float height);

  // After each change of the window's size, FORM gets a Form_Resize while
  // the handler that made the change is still running.
  void DeliverNestedResizes(memoapp::FormMain* form) { nestedForm_ = form; }
  // Positions and sizes of controls become the nearest multiple of GRID.
  void SnapTo(float grid) { grid_ = grid; }

  const memoapp::design::Rect& geometry(memoapp::Control control) const;

  bool minimized = false;
  std::u16string programFolder;
  std::vector<WindowSet> windowSets;
  int controlSets = 0;
  std::array<std::u16string, memoapp::design::kPairs> captions;
  std::array<std::u16string, memoapp::design::kPairs> texts;
  std::vector<std::u16string> messages;
  std::vector<int> endStatuses;

  bool WindowMinimized() const override { return minimized; }
  float WindowWidth() const override { return width_; }
  float WindowHeight() const override { return height_; }
  void SetWindowWidth(float twips) override;
  void SetWindowHeight(float twips) override;

  void SetLeft(memoapp::Control control, float twips) override { Set(Rect(control).left, twips); }
  void SetTop(memoapp::Control control, float twips) override { Set(Rect(control).top, twips); }
  void SetWidth(memoapp::Control control, float twips) override { Set(Rect(control).width, twips); }
  void SetHeight(memoapp::Control control, float twips) override { Set(Rect(control).height, twips); }
  float Top(memoapp::Control control) const override { return geometry(control).top; }

  void SetCaption(int16_t k, std::u16string_view caption) override { captions.at(k) = caption; }
  void SetText(int16_t k, std::u16string_view text) override { texts.at(k) = text; }
  void MessageBox(std::u16string_view text) override { messages.emplace_back(text); }
  void EndProgram(int exitStatus) override { endStatuses.push_back(exitStatus); }
  std::u16string ProgramFolder() const override { return programFolder; }

 private:
  static int Slot(memoapp::Control control);
  memoapp::design::Rect& Rect(memoapp::Control control) { return rects_.at(Slot(control)); }
  void Set(float& property, float twips);
  void Resized();

  float width_;
  float height_;
  float grid_ = 0;
  memoapp::FormMain* nestedForm_ = nullptr;
  std::array<memoapp::design::Rect, 2 * memoapp::design::kPairs + 2> rects_;
};
