#include "tests/window/window_fixture.h"

#include <QString>

#include <ostrel/com/message_box.h>
#include "runtime/unicode.h"

namespace {

template <class Widget>
Widget* Named(const QWidget& window, const QString& name) {
  Widget* widget = window.findChild<Widget*>(name);
  EXPECT_NE(widget, nullptr) << name.toStdString();
  return widget;
}

}  // namespace

void PrintTo(const Box& box, std::ostream* out) {
  *out << "{\"" << ostrel::com::ToUtf8(box.caption) << "\": \"" << ostrel::com::ToUtf8(box.text) << "\"}";
}

void QtWindowTest::SetUp() {
  MemoFileTest::SetUp();
  ostrel::com::SetMessageBoxSink({[](void* test, std::u16string_view text, std::u16string_view caption) {
                                     static_cast<QtWindowTest*>(test)->boxes_.push_back(
                                         {std::u16string(text), std::u16string(caption)});
                                   },
                                   this});
}

void QtWindowTest::TearDown() {
  form_.reset();
  toolkit_.reset();
  MemoFileTest::TearDown();
}

std::u16string QtWindowTest::WriteMemoFile(const std::vector<CMemoData>& memos) const {
  std::vector<std::u16string> lines = {
      u"<?xml version=\"1.0\"  encoding = \"Shift-JIS\" ?>", u"", u"<!-- @version: -->", u"",
      u"<!--   このファイルはXmlWrite.openによって 2024/04/01 09:30:00\u3000に出力されました。 -->", u"",
      u"<Memo>"};
  for (const CMemoData& memo : memos) {
    lines.push_back(u"\t<sentence Title=\"" + memo.title + u"\">" + memo.sentence + u"</sentence>");
  }
  lines.push_back(u"</Memo>");
  return WriteFile("memo.xml", lines);
}

void QtWindowTest::Start() {
  toolkit_ = std::make_unique<memoapp::QtToolkit>(memoapp::QtToolkit::Options{
      folder_.u16string(), [this](int exitStatus) { endStatuses_.push_back(exitStatus); }});
  form_ = std::make_unique<memoapp::FormMain>(*toolkit_);
  toolkit_->Start(*form_);
}

void QtWindowTest::RunAsTheProgram(const std::function<void(memoapp::FormWindow&)>& act) const {
  ostrel::com::SetMessageBoxSink({nullptr, nullptr});
  memoapp::QtToolkit toolkit(memoapp::QtToolkit::Options{folder_.u16string(), {}});
  memoapp::FormMain form(toolkit);
  toolkit.Start(form);
  act(toolkit.window());
}

QLabel* QtWindowTest::label1(int k) const { return Named<QLabel>(window(), QString("Label1_%1").arg(k)); }

QPlainTextEdit* QtWindowTest::text1(int k) const {
  return Named<QPlainTextEdit>(window(), QString("Text1_%1").arg(k));
}

QPushButton* QtWindowTest::button(const char* name) const { return Named<QPushButton>(window(), name); }

std::vector<std::u16string> QtWindowTest::Captions() const {
  std::vector<std::u16string> captions;
  for (int k = 0; k < memoapp::design::kPairs; ++k) captions.push_back(label1(k)->text().toStdU16String());
  return captions;
}

std::vector<std::u16string> QtWindowTest::Texts() const {
  std::vector<std::u16string> texts;
  for (int k = 0; k < memoapp::design::kPairs; ++k) texts.push_back(text1(k)->toPlainText().toStdU16String());
  return texts;
}
