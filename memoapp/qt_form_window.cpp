#include "memoapp/qt_form_window.h"

#include <QEvent>
#include <QMenuBar>
#include <QString>

#include "memoapp/pictures.h"
#include "memoapp/qt_text.h"

namespace memoapp {

namespace {

QString IndexedName(const char* name, int k) { return QString("%1_%2").arg(QLatin1String(name)).arg(k); }

}  // namespace

FormWindow::FormWindow() : client_(new QWidget(this)) {
  setWindowTitle(ToQString(design::kCaption));
  setWindowIcon(LintrowIcon());
  BuildMenu();
  client_->setObjectName("client");
  setCentralWidget(client_);
  client_->installEventFilter(this);
  // Creation order is Qt's tab order.
  for (int k = 0; k < design::kPairs; ++k) BuildPair(k);
  command1_ = BuildButton("Command1", LeftArrow());
  command2_ = BuildButton("Command2", RightArrow());
}

QWidget* FormWindow::widget(Control control) const {
  switch (control.kind) {
    case Control::Kind::kLabel1: return labels_[control.index];
    case Control::Kind::kText1: return textBoxes_[control.index];
    case Control::Kind::kCommand1: return command1_;
    case Control::Kind::kCommand2: return command2_;
  }
  return nullptr;
}

void FormWindow::BuildMenu() {
  QMenu* menuFile = menuBar()->addMenu(ToQString(design::kMenuFileCaption));
  menuFile->setObjectName("menuFile");
  menuFileExit_ = menuFile->addAction(ToQString(design::kMenuFileExitCaption));
  menuFileExit_->setObjectName("menuFileExit");
}

void FormWindow::BuildPair(int k) {
  QLabel* label = new QLabel(ToQString(design::kLabelCaption), client_);
  label->setObjectName(IndexedName("Label1", k));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  labels_[k] = label;

  QPlainTextEdit* textBox = new QPlainTextEdit(ToQString(design::kTextBoxText), client_);
  textBox->setObjectName(IndexedName("Text1", k));
  textBox->setReadOnly(true);
  textBox->setTabChangesFocus(true);
  textBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  textBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  textBoxes_[k] = textBox;
}

QPushButton* FormWindow::BuildButton(const char* name, const QPixmap& picture) {
  QPushButton* button = new QPushButton(client_);
  button->setObjectName(name);
  button->setIcon(QIcon(picture));
  button->setIconSize(picture.size());
  return button;
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) Resized();
  return QMainWindow::eventFilter(watched, event);
}

void FormWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) Resized();
}

void FormWindow::Resized() {
  if (resized_) resized_();
}

}  // namespace memoapp
