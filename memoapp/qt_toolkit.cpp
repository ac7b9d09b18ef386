#include "memoapp/qt_toolkit.h"

#include <QLayout>
#include <QString>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "memoapp/form_design.h"
#include "memoapp/memo_path.h"
#include "memoapp/qt_text.h"
#include <ostrel/com/message_box.h>
#include <ostrel/com/runtime_error.h>

namespace memoapp {

namespace {

constexpr double kTwipsPerInch = 1440;

// Nothing is left to save, so nothing needs to run on the way out.
void LeaveAtOnce(int exitStatus) {
  std::fflush(nullptr);
  std::_Exit(exitStatus);
}

std::u16string UnexpectedErrorText(const ostrel::com::RuntimeError& error) {
  const std::string number = std::to_string(error.number());
  return u"実行時エラー " + std::u16string(number.begin(), number.end()) + u"\n\n" + error.description();
}

// Changes one side of WIDGET's geometry and keeps the others.
template <class Change>
void Reshape(QWidget* widget, Change change) {
  QRect geometry = widget->geometry();
  change(geometry);
  widget->setGeometry(geometry);
}

}  // namespace

QtToolkit::QtToolkit(Options options) : options_(std::move(options)), window_(std::make_unique<FormWindow>()) {
  if (options_.programFolder.empty()) {
    options_.programFolder = RunningProgramFolder();
  }
  if (!options_.endProgram) options_.endProgram = LeaveAtOnce;
  KeepWithinLayoutBounds();
  PlaceAsDesigned();
}

QtToolkit::~QtToolkit() = default;

void QtToolkit::Start(FormMain& form) {
  form_ = &form;
  ConnectNotifications();
  Deliver(&FormMain::Form_Load);
  if (!ended_) window_->show();
}

void QtToolkit::ConnectNotifications() {
  FormWindow* window = window_.get();
  window->setResizeHandler([this] { Deliver(&FormMain::Form_Resize); });
  QObject::connect(window->command1(), &QPushButton::clicked, window, [this] { Deliver(&FormMain::Command1_Click); });
  QObject::connect(window->command2(), &QPushButton::clicked, window, [this] { Deliver(&FormMain::Command2_Click); });
  QObject::connect(window->menuFileExit(), &QAction::triggered, window,
                   [this] { Deliver(&FormMain::menuFileExit_Click); });
}

// Qt must not see an exception, so a run-time error ends its journey here,
// where the program ends anyway.
void QtToolkit::Deliver(void (FormMain::*handler)()) {
  if (ended_ || form_ == nullptr) return;
  try {
    (form_->*handler)();
  } catch (const ostrel::com::RuntimeError& error) {
    MessageBox(UnexpectedErrorText(error));
    EndProgram(EXIT_FAILURE);
  }
}

// The layout's arithmetic is 16-bit; beyond the largest size it would
// overflow, so Qt is not let make the window that large.
void QtToolkit::KeepWithinLayoutBounds() {
  QWidget* client = window_->client();
  client->setMinimumSize(static_cast<int>(std::ceil((design::kMinWidth - design::kFrameWidth) / TwipsPerPixelX())),
                         static_cast<int>(std::ceil((design::kMinHeight - design::kFrameHeight) / TwipsPerPixelY())));
  window_->layout()->activate();
  const QSize frame = window_->size() - client->size();
  window_->setMaximumSize(
      frame + QSize(static_cast<int>((design::kMaxWidth - design::kFrameWidth) / TwipsPerPixelX()),
                    static_cast<int>((design::kMaxHeight - design::kFrameHeight) / TwipsPerPixelY())));
}

void QtToolkit::PlaceAsDesigned() {
  SetWindowWidth(design::kMinWidth);
  SetWindowHeight(design::kMinHeight);
  for (int16_t k = 0; k < design::kPairs; ++k) {
    PlaceAsDesigned(Label1(k), design::Label1(k));
    PlaceAsDesigned(Text1(k), design::Text1(k));
  }
  PlaceAsDesigned(Command1, design::kCommand1);
  PlaceAsDesigned(Command2, design::kCommand2);
}

void QtToolkit::PlaceAsDesigned(Control control, const design::Rect& rect) {
  SetLeft(control, rect.left);
  SetTop(control, rect.top);
  SetWidth(control, rect.width);
  SetHeight(control, rect.height);
}

bool QtToolkit::WindowMinimized() const { return window_->isMinimized(); }

float QtToolkit::WindowWidth() const {
  return static_cast<float>(window_->client()->width() * TwipsPerPixelX() + design::kFrameWidth);
}

float QtToolkit::WindowHeight() const {
  return static_cast<float>(window_->client()->height() * TwipsPerPixelY() + design::kFrameHeight);
}

void QtToolkit::SetWindowWidth(float twips) {
  ResizeClient(PixelsX(twips - design::kFrameWidth), window_->client()->height());
}

void QtToolkit::SetWindowHeight(float twips) {
  ResizeClient(window_->client()->width(), PixelsY(twips - design::kFrameHeight));
}

// The client area follows the window at once, so that the size read next is
// the size just set.
void QtToolkit::ResizeClient(int width, int height) {
  const QSize frame = window_->size() - window_->client()->size();
  window_->resize(frame + QSize(width, height));
  window_->layout()->invalidate();
  window_->layout()->activate();
}

void QtToolkit::SetLeft(Control control, float twips) {
  Reshape(window_->widget(control), [&](QRect& geometry) { geometry.moveLeft(PixelsX(twips)); });
}

void QtToolkit::SetTop(Control control, float twips) {
  Reshape(window_->widget(control), [&](QRect& geometry) { geometry.moveTop(PixelsY(twips)); });
}

void QtToolkit::SetWidth(Control control, float twips) {
  Reshape(window_->widget(control), [&](QRect& geometry) { geometry.setWidth(PixelsX(twips)); });
}

void QtToolkit::SetHeight(Control control, float twips) {
  Reshape(window_->widget(control), [&](QRect& geometry) { geometry.setHeight(PixelsY(twips)); });
}

float QtToolkit::Top(Control control) const {
  return static_cast<float>(window_->widget(control)->y() * TwipsPerPixelY());
}

void QtToolkit::SetCaption(int16_t k, std::u16string_view caption) { window_->label1(k)->setText(ToQString(caption)); }

void QtToolkit::SetText(int16_t k, std::u16string_view text) { window_->text1(k)->setPlainText(ToQString(text)); }

void QtToolkit::MessageBox(std::u16string_view text) { ostrel::com::ShowMessageBox(text, design::kCaption); }

void QtToolkit::EndProgram(int exitStatus) {
  ended_ = true;
  options_.endProgram(exitStatus);
}

std::u16string QtToolkit::ProgramFolder() const { return options_.programFolder; }

double QtToolkit::TwipsPerPixelX() const { return kTwipsPerInch / window_->logicalDpiX(); }

double QtToolkit::TwipsPerPixelY() const { return kTwipsPerInch / window_->logicalDpiY(); }

int QtToolkit::PixelsX(float twips) const { return static_cast<int>(std::lround(twips / TwipsPerPixelX())); }

int QtToolkit::PixelsY(float twips) const { return static_cast<int>(std::lround(twips / TwipsPerPixelY())); }

}  // namespace memoapp
