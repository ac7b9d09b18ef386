// Lintrow: shows the memos of "memo.xml" beside the program. FormMain is the
// start object; the program ends when its window goes away or from its File
// menu. Arguments are Qt's own (-platform and the like); Lintrow reads none.
#include <QApplication>

#include "memoapp/main_window.h"
#include "memoapp/qt_message_box.h"
#include "memoapp/qt_toolkit.h"
#include <ostrel/com/message_box.h>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ostrel::com::SetMessageBoxSink(
      {[](void*, std::u16string_view text, std::u16string_view caption) { memoapp::ShowQtMessageBox(text, caption); },
       nullptr});
  memoapp::QtToolkit toolkit;
  memoapp::FormMain form(toolkit);
  toolkit.Start(form);
  return QApplication::exec();
}
