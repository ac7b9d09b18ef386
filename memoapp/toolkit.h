// Toolkit: the few windowing operations FormMain is written against, so that
// its layout and messages do not depend on any one toolkit.
//
// Sizes and positions are twips as single-precision numbers. The window's
// width and height are its outer size; a control's position is measured from
// the top-left corner of the client area. A toolkit may snap what it is given
// to whole pixels, and then Top() gives back the snapped value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace memoapp {

// One control of FormMain: Label1(k) or Text1(k) with k 0..8, or a button.
struct Control {
  enum class Kind : uint8_t { kLabel1, kText1, kCommand1, kCommand2 };
  Kind kind;
  int16_t index;
};

constexpr Control Label1(int16_t k) { return {Control::Kind::kLabel1, k}; }
constexpr Control Text1(int16_t k) { return {Control::Kind::kText1, k}; }
inline constexpr Control Command1 = {Control::Kind::kCommand1, 0};
inline constexpr Control Command2 = {Control::Kind::kCommand2, 0};

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  virtual bool WindowMinimized() const = 0;
  virtual float WindowWidth() const = 0;
  virtual float WindowHeight() const = 0;
  virtual void SetWindowWidth(float twips) = 0;
  virtual void SetWindowHeight(float twips) = 0;

  virtual void SetLeft(Control control, float twips) = 0;
  virtual void SetTop(Control control, float twips) = 0;
  virtual void SetWidth(Control control, float twips) = 0;
  virtual void SetHeight(Control control, float twips) = 0;
  virtual float Top(Control control) const = 0;

  // Replace the whole caption of Label1(K), the whole text of Text1(K).
  virtual void SetCaption(int16_t k, std::u16string_view caption) = 0;
  virtual void SetText(int16_t k, std::u16string_view text) = 0;

  // Modal, captioned with the application's title; returns once dismissed.
  virtual void MessageBox(std::u16string_view text) = 0;

  // Ends the program at once with EXIT_STATUS: no notification follows.
  virtual void EndProgram(int exitStatus) = 0;

  // The folder that holds the program file.
  virtual std::u16string ProgramFolder() const = 0;
};

}  // namespace memoapp
