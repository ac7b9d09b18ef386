// Writing memo lines: 200,000 WriteOneEllement calls through the component
// model, against the floor (the same CP932 bytes handed to write(2) one line
// at a time) and against libxml2's xmlTextWriter writing the same lines.
//
// write_bench [FOLDER]   scratch files go to FOLDER
#include <fcntl.h>
#include <unistd.h>
#include <libxml/xmlwriter.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "bench/memo_files.h"
#include "bench/summary.h"
#include <ostrel/com/com_runtime.h>
#include "runtime/unicode.h"
#include <ostrel/ostrel.h>

namespace {

constexpr int kLines = 200'000;

struct Memo {
  std::string title;  // UTF-8
  std::string body;
};

std::vector<Memo> Memos() {
  std::vector<Memo> memos;
  for (int i = 0; i < kLines; ++i) {
    memos.push_back({"メモ " + std::to_string(i), "今日の予定は meeting at 10:30 牛乳とパン " + std::to_string(i * 7)});
  }
  return memos;
}

std::string LineOf(const Memo& memo) { return "<sentence Title=\"" + memo.title + "\">" + memo.body + "</sentence>"; }

void WriteWithOstrel(const std::string& path, const std::vector<std::u16string>& lines) {
  auto writer = ostrel::com::CreateObject<_CXmlWriter>(ostrel::kCXmlWriterId);
  ostrel::com::Bstr name(ostrel::com::FromUtf8(path));
  VARIANT_BOOL done = VARIANT_FALSE;
  ostrel::com::Check(writer->XmlOpen(name.Address(), &done));
  int16_t indent = 1;
  for (const std::u16string& line : lines) {
    ostrel::com::Bstr text(line);
    ostrel::com::Check(writer->WriteOneEllement(&indent, text.Address(), &done));
  }
  ostrel::com::Check(writer->XmlClose(&done));
}

void WriteLinesAlone(const std::string& path, const std::vector<std::string>& cp932Lines) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  for (const std::string& line : cp932Lines) {
    if (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) throw std::runtime_error("short write");
  }
  ::close(fd);
}

const xmlChar* X(const std::string& text) { return reinterpret_cast<const xmlChar*>(text.c_str()); }

void WriteWithLibxml2(const std::string& path, const std::vector<Memo>& memos) {
  xmlTextWriterPtr writer = xmlNewTextWriterFilename(path.c_str(), 0);
  xmlTextWriterStartDocument(writer, "1.0", "CP932", nullptr);
  xmlTextWriterStartElement(writer, X("Memo"));
  for (const Memo& memo : memos) {
    xmlTextWriterWriteRaw(writer, X("\r\n\t"));
    xmlTextWriterStartElement(writer, X("sentence"));
    xmlTextWriterWriteAttribute(writer, X("Title"), X(memo.title));
    xmlTextWriterWriteString(writer, X(memo.body));
    xmlTextWriterEndElement(writer);
  }
  xmlTextWriterEndDocument(writer);
  xmlFreeTextWriter(writer);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const std::string path = folder + "/written.xml";
  const std::vector<Memo> memos = Memos();
  std::vector<std::u16string> lines;
  std::vector<std::string> cp932Lines;
  for (const Memo& memo : memos) {
    lines.push_back(ostrel::com::FromUtf8(LineOf(memo)));
    cp932Lines.push_back(bench::ToCp932("\t" + LineOf(memo) + "\r\n"));
  }
  double bytes = 0;
  for (const std::string& line : cp932Lines) bytes += static_cast<double>(line.size());

  const std::vector<double> seconds = bench::MedianSecondsInTurns({
      [&] { WriteLinesAlone(path, cp932Lines); },
      [&] { WriteWithOstrel(path, lines); },
      [&] { WriteWithLibxml2(path, memos); },
  });
  const double floor = seconds[0], ostrel = seconds[1], libxml2 = seconds[2];
  std::filesystem::remove(path);

  std::printf("Writing: %d lines, %.1f MB of CP932 (ratios against the floor)\n", kLines, bytes / 1e6);
  bench::PrintRow("floor: one write(2) per line", floor, bytes, floor);
  bench::PrintRow("Ostrel WriteOneEllement", ostrel, bytes, floor);
  bench::PrintRow("libxml2 xmlTextWriter (CP932)", libxml2, bytes, floor);
  std::printf("  Ostrel / floor: %.2f (goal <= 1.3)\n", ostrel / floor);
  const std::string lineCount = bench::Thousands(kLines);
  bench::AddSummaryRow(bench::Cell("%s `WriteOneEllement` lines, %.1f MB", lineCount.c_str(), bytes / 1e6),
                       bench::Cell("%.1f ms (%.2f× the floor)", ostrel * 1e3, ostrel / floor),
                       bench::Cell("one write(2) per line %.1f ms, libxml2 xmlTextWriter %.1f ms", floor * 1e3,
                                   libxml2 * 1e3),
                       "≤ 1.3× the floor");
  return 0;
}
