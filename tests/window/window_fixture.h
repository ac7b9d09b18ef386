// QtWindowTest: Lintrow's window as a real Qt window, on a program folder of
// the test's own. Message boxes are recorded with their captions instead of
// shown, and ending the program is recorded instead of carried out.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "memoapp/main_window.h"
#include "memoapp/memo_store.h"
#include "memoapp/qt_toolkit.h"
#include "tests/memoapp/memo_file_fixture.h"

// A message box as it was shown.
struct Box {
  std::u16string text;
  std::u16string caption;
  friend bool operator==(const Box&, const Box&) = default;
};
void PrintTo(const Box& box, std::ostream* out);

class QtWindowTest : public MemoFileTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // memo.xml in the program folder, laid out as WriteData writes it.
  std::u16string WriteMemoFile(const std::vector<CMemoData>& memos) const;
  // Builds the window, delivers Form_Load and shows the window.
  void Start();
  // Starts the window as the program does, ending the program for real, then
  // does ACT to it. Message boxes go to stderr, where nothing waits for a
  // click. For tests that watch the process end.
  void RunAsTheProgram(const std::function<void(memoapp::FormWindow&)>& act) const;

  memoapp::FormWindow& window() const { return toolkit_->window(); }
  // The controls found by their names, as a test tool would find them.
  QLabel* label1(int k) const;
  QPlainTextEdit* text1(int k) const;
  QPushButton* button(const char* name) const;
  std::vector<std::u16string> Captions() const;
  std::vector<std::u16string> Texts() const;

  std::unique_ptr<memoapp::QtToolkit> toolkit_;
  std::unique_ptr<memoapp::FormMain> form_;
  std::vector<Box> boxes_;
  std::vector<int> endStatuses_;
};
