// A reference for startup_bench: Lintrow's own window, built and placed by
// the same toolkit and showing the same nine memos, their texts taken from
// "memo.xml" beside the program by a plain pattern match instead of Ostrel.
// Lintrow over this is what reading the memos through the library adds.
#include <iconv.h>

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <cstdint>
#include <string>

#include "memoapp/qt_toolkit.h"

namespace {

QString FromCp932(const QByteArray& bytes) {
  iconv_t descriptor = iconv_open("UTF-16LE", "CP932");
  std::u16string text(bytes.size(), u'\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* out = reinterpret_cast<char*>(text.data());
  size_t outLeft = text.size() * sizeof(char16_t);
  iconv(descriptor, &in, &inLeft, &out, &outLeft);
  iconv_close(descriptor);
  text.resize(text.size() - outLeft / sizeof(char16_t));
  return QString::fromStdU16String(text);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QFile file(QCoreApplication::applicationDirPath() + "/memo.xml");
  if (!file.open(QIODevice::ReadOnly)) return 1;
  const QString text = FromCp932(file.readAll());
  memoapp::QtToolkit toolkit;
  const QRegularExpression memo(R"re(<sentence Title="([^"]*)">([^<]*)</sentence>)re");
  int16_t k = 0;
  for (auto match = memo.globalMatch(text); match.hasNext() && k < 9; ++k) {
    const QRegularExpressionMatch found = match.next();
    toolkit.SetCaption(k, found.captured(1).toStdU16String());
    toolkit.SetText(k, found.captured(2).toStdU16String());
  }
  if (k < 9) return 1;  // not the sample file: no frame, and the benchmark says so
  toolkit.window().show();
  return QApplication::exec();
}
