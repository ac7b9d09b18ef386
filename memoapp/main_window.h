// FormMain: Lintrow's one window and its event handlers.
//
// Form_Load fills the memo store from "memo.xml" in the program's folder and
// shows memos 1..9 in the nine label and text-box pairs ("未使用" over an
// empty box where there is no memo). Form_Resize keeps the window at least
// 6405 x 7395 twips and shares its size among the three-by-three grid. The
// arrow buttons only say that nothing is implemented; the exit item says
// "終了" and ends the program.
//
// The handlers raise what they do not handle (a failed call to the library,
// for one) as a ostrel::com::RuntimeError; the toolkit that delivers the
// notification reports it and ends the program.
#pragma once

#include "memoapp/int16.h"
#include "memoapp/toolkit.h"

namespace memoapp {

class FormMain {
 public:
  explicit FormMain(Toolkit& toolkit) : toolkit_(toolkit) {}

  void Form_Load();
  void Form_Resize();
  void Command1_Click();
  void Command2_Click();
  void menuFileExit_Click();

 private:
  void ShowMemos();
  void KeepMinimumSize();
  void LayOutPair(int16_t k, Int16 cellWidth, Int16 cellHeight);
  void LayOutButtons();

  Toolkit& toolkit_;
};

}  // namespace memoapp
