// A reference for startup_bench: Lintrow's own window, built and placed by
// the same toolkit and showing the same nine memos, their texts taken from
// "memo.xml" beside the program by a plain pattern match instead of Ostrel.
// Lintrow over this is what reading the memos through the library adds.
#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <cstdint>
#include <string>

#include "memoapp/qt_toolkit.h"
#include "runtime/cp932.h"

namespace {

// Decoded as Lintrow's reader decodes it, so both pay the same conversion.
QString FromCp932(const QByteArray& bytes) {
  std::u16string text(bytes.size(), u'\0');
  const auto decoded = ostrel::com::Cp932Decoder().Decode({bytes.data(), static_cast<size_t>(bytes.size())}, text.data(), true);
  text.resize(decoded.unitsWritten);
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
