#include "memoapp/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "memoapp/qt_text.h"

namespace memoapp {

void ShowQtMessageBox(std::u16string_view text, std::u16string_view caption) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace memoapp
