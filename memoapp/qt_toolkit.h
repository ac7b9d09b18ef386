// QtToolkit: FormMain on Qt 6 Widgets.
//
// Twips become pixels at the screen's logical DPI (1440 twips an inch, so 15
// a pixel at 96 DPI); positions snap to whole pixels. The window's outer size
// is taken as its client area plus the designed frame of 120 x 690 twips, so
// the layout keeps its margins whatever the window manager draws around it.
// Qt itself keeps the window between the smallest designed size and the
// largest whose layout fits in 16-bit integers.
//
// Start delivers Form_Load, then shows the window, which delivers the first
// Form_Resize. A run-time error that escapes a handler is reported in a
// "Lintrow" box with its number and description, and the program ends with
// status 1. Message boxes go through the platform's message box sink; once
// the program has been ended no notification is delivered any more.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "memoapp/main_window.h"
#include "memoapp/qt_form_window.h"
#include "memoapp/toolkit.h"

namespace memoapp {

class QtToolkit final : public Toolkit {
 public:
  struct Options {
    // The folder of the executable when empty.
    std::u16string programFolder;
    // Leaves the process at once when empty.
    std::function<void(int exitStatus)> endProgram;
  };

  QtToolkit() : QtToolkit(Options{}) {}
  explicit QtToolkit(Options options);
  ~QtToolkit() override;

  void Start(FormMain& form);

  FormWindow& window() const { return *window_; }

  bool WindowMinimized() const override;
  float WindowWidth() const override;
  float WindowHeight() const override;
  void SetWindowWidth(float twips) override;
  void SetWindowHeight(float twips) override;

  void SetLeft(Control control, float twips) override;
  void SetTop(Control control, float twips) override;
  void SetWidth(Control control, float twips) override;
  void SetHeight(Control control, float twips) override;
  float Top(Control control) const override;

  void SetCaption(int16_t k, std::u16string_view caption) override;
  void SetText(int16_t k, std::u16string_view text) override;
  void MessageBox(std::u16string_view text) override;
  void EndProgram(int exitStatus) override;
  std::u16string ProgramFolder() const override;

 private:
  void ConnectNotifications();
  void Deliver(void (FormMain::*handler)());
  void PlaceAsDesigned();
  void PlaceAsDesigned(Control control, const design::Rect& rect);
  void KeepWithinLayoutBounds();
  void ResizeClient(int width, int height);

  double TwipsPerPixelX() const;
  double TwipsPerPixelY() const;
  int PixelsX(float twips) const;
  int PixelsY(float twips) const;

  Options options_;
  std::unique_ptr<FormWindow> window_;
  FormMain* form_ = nullptr;
  bool ended_ = false;
};

}  // namespace memoapp
