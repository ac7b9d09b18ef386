// FormWindow: FormMain's widgets in Qt, as designed: caption and icon, the
// File menu, the nine label and text-box pairs and the two arrow buttons,
// created in tab order. Every control carries its name as its object name
// ("Label1_4", "Text1_4", "Command1", "menuFile", "menuFileExit", ...).
//
// Controls stand on the client area, the central widget below the menu bar;
// their geometry is left to the caller. Text boxes are multi-line and
// read-only, without scroll bars; labels show plain text.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <functional>

#include "memoapp/form_design.h"
#include "memoapp/toolkit.h"

namespace memoapp {

class FormWindow final : public QMainWindow {
 public:
  FormWindow();

  QWidget* client() const { return client_; }
  QLabel* label1(int k) const { return labels_[k]; }
  QPlainTextEdit* text1(int k) const { return textBoxes_[k]; }
  QPushButton* command1() const { return command1_; }
  QPushButton* command2() const { return command2_; }
  QAction* menuFileExit() const { return menuFileExit_; }
  QWidget* widget(Control control) const;

  // Called after every change of the client area's size and of the window's
  // state (minimised, maximised, restored).
  void setResizeHandler(std::function<void()> handler) { resized_ = std::move(handler); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenu();
  void BuildPair(int k);
  QPushButton* BuildButton(const char* name, const QPixmap& picture);
  void Resized();

  QWidget* client_;
  std::array<QLabel*, design::kPairs> labels_{};
  std::array<QPlainTextEdit*, design::kPairs> textBoxes_{};
  QPushButton* command1_ = nullptr;
  QPushButton* command2_ = nullptr;
  QAction* menuFileExit_ = nullptr;
  std::function<void()> resized_;
};

}  // namespace memoapp
