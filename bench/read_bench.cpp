// Reading memo files: Ostrel's SetData through the component model next to
// libxml2's SAX2 reader on the same CP932 file, expat on a UTF-8 twin, and
// the floor: converting the file to UTF-16 and splitting it into lines.
// Then how the cost grows with the file, with one long content run and with
// one long tag, and the peak memory of reading a large file.
//
// read_bench [--floors DIR] [FOLDER [PART...]]  the figures of each PART
//                              (readers, floors, dump, small, growth,
//                              long-tokens, memory; all when none is named);
//                              scratch files go to FOLDER; floors times the
//                              programs simd_floor and iface_floor in DIR
// read_bench --peak FILE       reads FILE and prints its peak memory in kB
// read_bench --read READER FILE  reads FILE once with READER: ostrel,
//                              libxml2, table-floor or slot-lines
// read_bench --make SHAPE MEMOS FILE  writes a memo file of MEMOS memos,
//                              SHAPE one-line, multi-line or prose
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <expat.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/counting_read.h"
#include "bench/decode_floors.h"
#include "bench/measure.h"
#include "bench/memo_files.h"
#include "bench/peak_memory.h"
#include "bench/summary.h"
#include "runtime/file_slot.h"
#include "runtime/unicode.h"

namespace {

using bench::ReadWithOstrel;
using bench::Tally;

void CountXmlCharacters(void* tally, const xmlChar*, int length) {
  ++static_cast<Tally*>(tally)->callbacks;
  static_cast<Tally*>(tally)->characters += length;
}

// Ostrel's share of the floor's work: the lines of the file slot, decoded,
// in the pieces that the reader asks for.
bench::LineTally ReadSlotLines(const std::string& path) {
  namespace slot = ostrel::com::file_slot;
  constexpr size_t kReaderPiece = 65536;
  bench::LineTally tally;
  slot::OpenForInput(ostrel::com::FromUtf8(path));
  while (!slot::AtEnd()) {
    const ostrel::com::LinePiece piece = slot::ReadLinePiece(kReaderPiece);
    tally.units += static_cast<long>(piece.text.size());
    tally.lines += piece.endsLine;
  }
  slot::Close();
  return tally;
}

// The declared name "Shift-JIS" gives libxml2 a table that reads 0x5C as the
// yen sign and stops at NEC extension characters, so CP932 is forced and the
// declaration ignored.
Tally ReadWithLibxml2(const std::string& path) {
  Tally tally;
  xmlSAXHandler sax{};
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = [](void* t, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**, int, int,
                          const xmlChar**) { ++static_cast<Tally*>(t)->callbacks; };
  sax.endElementNs = [](void* t, const xmlChar*, const xmlChar*, const xmlChar*) { ++static_cast<Tally*>(t)->callbacks; };
  sax.characters = CountXmlCharacters;
  xmlParserCtxtPtr context = xmlCreatePushParserCtxt(&sax, &tally, nullptr, 0, path.c_str());
  xmlCtxtUseOptions(context, XML_PARSE_IGNORE_ENC);
  xmlSwitchToEncoding(context, xmlFindCharEncodingHandler("CP932"));
  bench::ForEachBlock(path, [&](const char* bytes, size_t size, bool last) {
    if (xmlParseChunk(context, bytes, static_cast<int>(size), last) != 0) throw std::runtime_error("libxml2 failed");
  });
  xmlFreeParserCtxt(context);
  return tally;
}

Tally ReadWithExpat(const std::string& path) {
  Tally tally;
  XML_Parser parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(parser, &tally);
  XML_SetElementHandler(
      parser, [](void* t, const XML_Char*, const XML_Char**) { ++static_cast<Tally*>(t)->callbacks; },
      [](void* t, const XML_Char*) { ++static_cast<Tally*>(t)->callbacks; });
  XML_SetCharacterDataHandler(parser, [](void* t, const XML_Char*, int length) {
    ++static_cast<Tally*>(t)->callbacks;
    static_cast<Tally*>(t)->characters += length;
  });
  bench::ForEachBlock(path, [&](const char* bytes, size_t size, bool last) {
    if (XML_Parse(parser, bytes, static_cast<int>(size), last) == XML_STATUS_ERROR) throw std::runtime_error("expat failed");
  });
  XML_ParserFree(parser);
  return tally;
}

void CompareReaders(const std::string& folder, const std::string& title, int memos, bench::MemoShape shape) {
  const std::string cp932 = folder + "/memo-cp932.xml";
  const std::string utf8 = folder + "/memo-utf8.xml";
  const std::string bytes = bench::ToCp932(bench::MemoFileUtf8(memos, shape, "Shift-JIS"));
  bench::WriteFile(cp932, bytes);
  bench::WriteFile(utf8, bench::MemoFileUtf8(memos, shape, "UTF-8"));
  std::printf("Reading %s: %d memos, %.1f MB of CP932 (ratios against the table floor)\n", title.c_str(), memos,
              bytes.size() / 1e6);
  const std::vector<double> seconds = bench::MedianSecondsInTurns({
      [&] { bench::DecodeWithTable(cp932); },
      [&] { bench::DecodeWithIconv(cp932); },
      [&] { ReadWithOstrel(cp932); },
      [&] { ReadWithLibxml2(cp932); },
      [&] { ReadWithExpat(utf8); },
      [&] { ReadSlotLines(cp932); },
  });
  const double floor = seconds[0], iconvFloor = seconds[1], ostrel = seconds[2], libxml2 = seconds[3];
  const double slotLines = seconds[5];
  bench::PrintRow("floor: table to UTF-16 + lines", floor, bytes.size(), floor);
  bench::PrintRow("floor: iconv to UTF-16 + lines", iconvFloor, bytes.size(), floor);
  bench::PrintRow("Ostrel file slot: lines", slotLines, bytes.size(), floor);
  bench::PrintRow("Ostrel SetData", ostrel, bytes.size(), floor);
  bench::PrintRow("libxml2 SAX2 (CP932)", libxml2, bytes.size(), floor);
  bench::PrintRow("expat (UTF-8 twin)", seconds[4], bytes.size(), floor);
  std::printf("  libxml2 / Ostrel: %.2f (goal >= 4)   Ostrel / table floor: %.2f (goal <= 1.25)\n", libxml2 / ostrel,
              ostrel / floor);
  std::printf("  file slot lines / table floor: %.2f (goal < 1)\n\n", slotLines / floor);
  using bench::Cell;
  bench::AddSummaryRow(Cell("%s %s, %.1f MB CP932", bench::Thousands(memos).c_str(), title.c_str(), bytes.size() / 1e6),
                       Cell("%.1f ms", ostrel * 1e3),
                       Cell("table floor %.1f ms (Ostrel %.2f×), iconv floor %.1f ms, libxml2 %.1f ms (%.2f× Ostrel), "
                            "expat (UTF-8 twin) %.1f ms",
                            floor * 1e3, ostrel / floor, iconvFloor * 1e3, libxml2 * 1e3, libxml2 / ostrel,
                            seconds[4] * 1e3),
                       "≥ 4× faster than libxml2");
  bench::AddSummaryRow(Cell("the file slot's lines, decoded, %s", title.c_str()), Cell("%.1f ms", slotLines * 1e3),
                       Cell("table floor %.1f ms (%.2f×)", floor * 1e3, slotLines / floor), "< 1× the table floor");
  std::filesystem::remove(cp932);
  std::filesystem::remove(utf8);
}

// Runs PROGRAM with ARGUMENTS to its end, its output thrown away. Spawned,
// not forked: a fork copies this process's page tables, which hold the
// benchmark's files, and that cost would fall on every program timed.
void RunProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int error = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error(program + ": " + std::strerror(error));
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(program + " failed");
}

// A program built beside this one.
std::string SiblingProgram(const std::string& name) {
  return (std::filesystem::canonical("/proc/self/exe").parent_path() / name).string();
}

// ostrel-dump as a user runs it, a whole process with its output going
// nowhere, next to whole processes that read the same file with a counting
// handler: Ostrel's and libxml2's.
void CompareDump(const std::string& folder, const std::string& title, int memos, bench::MemoShape shape) {
  const std::string path = folder + "/memo-dump.xml";
  const std::string bytes = bench::ToCp932(bench::MemoFileUtf8(memos, shape, "Shift-JIS"));
  bench::WriteFile(path, bytes);
  const std::string self = "/proc/self/exe";
  const std::string dump = SiblingProgram("ostrel-dump");
  std::printf("ostrel-dump FILE > /dev/null, %s: whole processes (ratios against Ostrel's counting read)\n",
              title.c_str());
  const std::vector<double> seconds = bench::MedianSecondsInTurns({
      [&] { RunProcess(self, {"--read", "ostrel", path}); },
      [&] { RunProcess(dump, {path}); },
      [&] { RunProcess(self, {"--read", "libxml2", path}); },
  });
  const double reading = seconds[0], dumping = seconds[1], libxml2 = seconds[2];
  bench::PrintRow("Ostrel, counting handler", reading, bytes.size(), reading);
  bench::PrintRow("ostrel-dump", dumping, bytes.size(), reading);
  bench::PrintRow("libxml2 SAX2 (CP932), counting", libxml2, bytes.size(), reading);
  std::printf("  libxml2 / ostrel-dump: %.2f (goal >= 2)   ostrel-dump / Ostrel: %.2f (goal <= 1.5)\n\n",
              libxml2 / dumping, dumping / reading);
  bench::AddSummaryRow(bench::Cell("`ostrel-dump FILE > /dev/null`, whole process, %s", title.c_str()),
                       bench::Cell("%.1f ms", dumping * 1e3),
                       bench::Cell("Ostrel's counting read %.1f ms (dump %.2f×), libxml2 %.1f ms (%.2f× the dump)",
                                   reading * 1e3, dumping / reading, libxml2 * 1e3, libxml2 / dumping),
                       "≤ 1.5× Ostrel's read, ≥ 2× faster than libxml2");
  std::filesystem::remove(path);
}

// The floors' programs run for tens of milliseconds and differ by a few, so
// they take more turns than the other parts for steadier medians.
constexpr int kFloorRuns = 15;

// Ostrel's counting read next to the reading floors, all whole processes:
// simd_floor decodes the file and finds its lines with AVX2; iface_floor
// does in plain C the work the interfaces ask for (texts, the keyed list,
// references, a call per token), reusing text buffers with --reuse. Each
// program also reads a file of nine memos in the same turns: its start-up,
// which for Ostrel holds the C++ runtime and the component model, and
// taking it away leaves what reading the file itself costs.
void CompareFloors(const std::string& folder, const std::string& floors, const std::string& title, int memos,
                   bench::MemoShape shape) {
  const std::string path = folder + "/memo-floors.xml", small = folder + "/memo-floors-small.xml";
  const std::string bytes = bench::ToCp932(bench::MemoFileUtf8(memos, shape, "Shift-JIS"));
  bench::WriteFile(path, bytes);
  bench::WriteFile(small, bench::ToCp932(bench::MemoFileUtf8(9, shape, "Shift-JIS")));
  const std::string countRead = SiblingProgram("count_read");
  const std::string simd = floors + "/simd_floor", iface = floors + "/iface_floor";
  std::printf("Floors, %s: whole processes (ratios against simd_floor)\n", title.c_str());
  const std::vector<std::vector<double>> turns = bench::SecondsInTurns(
      {
          [&] { RunProcess(simd, {path}); },
          [&] { RunProcess(iface, {"--reuse", path}); },
          [&] { RunProcess(iface, {path}); },
          [&] { RunProcess(countRead, {path}); },
          [&] { RunProcess(simd, {small}); },
          [&] { RunProcess(iface, {"--reuse", small}); },
          [&] { RunProcess(countRead, {small}); },
      },
      kFloorRuns);
  const std::vector<double> seconds = bench::Medians(turns);
  const double simdFloor = seconds[0], reuse = seconds[1], ostrel = seconds[3];
  const double simdStart = seconds[4], reuseStart = seconds[5], ostrelStart = seconds[6];
  bench::PrintRow("simd_floor (AVX2 decode + lines)", simdFloor, bytes.size(), simdFloor);
  bench::PrintRow("iface_floor --reuse", reuse, bytes.size(), simdFloor);
  bench::PrintRow("iface_floor", seconds[2], bytes.size(), simdFloor);
  bench::PrintRow("Ostrel, counting handler (count_read)", ostrel, bytes.size(), simdFloor);
  const bench::PairedRatio toSimd = bench::RatioInTurns(turns[3], turns[0]);
  const bench::PairedRatio toReuse = bench::RatioInTurns(turns[3], turns[1]);
  std::printf("  Ostrel / simd_floor: %.2f (goal <= 2.0)   Ostrel / iface_floor --reuse: %.2f (goal <= 1.1)\n",
              ostrel / simdFloor, ostrel / reuse);
  std::printf("  paired within each turn: Ostrel / simd_floor %.2f (%.2f-%.2f), Ostrel / iface_floor --reuse %.2f "
              "(%.2f-%.2f)\n",
              toSimd.median, toSimd.least, toSimd.most, toReuse.median, toReuse.least, toReuse.most);
  const double simdReading = simdFloor - simdStart, reuseReading = reuse - reuseStart, ostrelReading = ostrel - ostrelStart;
  std::printf("  start-up, nine memos: simd_floor %.2f ms, iface_floor --reuse %.2f ms, Ostrel %.2f ms\n",
              simdStart * 1e3, reuseStart * 1e3, ostrelStart * 1e3);
  std::printf("  reading alone (less start-up): Ostrel / simd_floor %.2f, Ostrel / iface_floor --reuse %.2f\n\n",
              ostrelReading / simdReading, ostrelReading / reuseReading);
  bench::AddSummaryRow(bench::Cell("counting read against the floors, whole process, %s", title.c_str()),
                       bench::Cell("%.1f ms", ostrel * 1e3),
                       bench::Cell("simd_floor %.1f ms (Ostrel %.2f×; paired %.2f×), iface_floor --reuse %.1f ms "
                                   "(%.2f×; paired %.2f×), iface_floor %.1f ms",
                                   simdFloor * 1e3, ostrel / simdFloor, toSimd.median, reuse * 1e3, ostrel / reuse,
                                   toReuse.median, seconds[2] * 1e3),
                       "≤ 2.0× simd_floor, ≤ 1.1× iface_floor --reuse");
  bench::AddSummaryRow(bench::Cell("the same, reading alone: each program's time less its start-up on nine memos"),
                       bench::Cell("%.1f ms (start-up %.2f ms)", ostrelReading * 1e3, ostrelStart * 1e3),
                       bench::Cell("simd_floor %.1f ms (Ostrel %.2f×, start-up %.2f ms), iface_floor --reuse %.1f ms "
                                   "(%.2f×, start-up %.2f ms)",
                                   simdReading * 1e3, ostrelReading / simdReading, simdStart * 1e3,
                                   reuseReading * 1e3, ostrelReading / reuseReading, reuseStart * 1e3),
                       "");
  std::filesystem::remove(path);
  std::filesystem::remove(small);
}

// What reading a small file adds to a program started for it: most of it is
// filling the decoding table, once per process.
void CompareSmallFile(const std::string& folder) {
  const std::string path = folder + "/memo-small.xml";
  bench::WriteFile(path, bench::ToCp932(bench::MemoFileUtf8(9, bench::MemoShape::kOneLine, "Shift-JIS")));
  const std::string dump = SiblingProgram("ostrel-dump");
  std::printf("A small file, whole processes: ostrel-dump on nine memos\n");
  const std::vector<double> seconds = bench::MedianSecondsInTurns({
      [&] { RunProcess(dump, {"--version"}); },
      [&] { RunProcess(dump, {path}); },
  });
  std::printf("  ostrel-dump --version %20.2f ms\n", seconds[0] * 1e3);
  std::printf("  ostrel-dump FILE %25.2f ms    reading adds %.2f ms\n\n", seconds[1] * 1e3,
              (seconds[1] - seconds[0]) * 1e3);
  bench::AddSummaryRow("nine memos, whole process: what reading adds to `ostrel-dump --version`",
                       bench::Cell("%.2f ms", (seconds[1] - seconds[0]) * 1e3),
                       bench::Cell("`ostrel-dump --version` %.2f ms", seconds[0] * 1e3), "");
  std::filesystem::remove(path);
}

double TimeOstrelOn(const std::string& path, const std::string& text) {
  bench::WriteFile(path, bench::ToCp932(text));
  const double seconds = bench::MedianSeconds([&] { ReadWithOstrel(path); });
  std::filesystem::remove(path);
  return seconds;
}

void Growth(const std::string& folder) {
  std::printf("Growth: Ostrel on one-line memo files (linear: constant time per memo)\n");
  std::string perMemo;
  for (int memos : {10'000, 100'000, 1'000'000}) {
    const double seconds = TimeOstrelOn(folder + "/growth.xml", bench::MemoFileUtf8(memos, bench::MemoShape::kOneLine, "Shift-JIS"));
    std::printf("  %8d memos %9.1f ms %7.3f us per memo\n", memos, seconds * 1e3, seconds * 1e6 / memos);
    perMemo += bench::Cell("%s%.2f", perMemo.empty() ? "" : " / ", seconds * 1e6 / memos);
  }
  bench::AddSummaryRow("10k / 100k / 1M one-line memos", perMemo + " µs per memo", "", "linear");
}

// A run of LENGTH characters over lines of 60, once as content and once as
// the attributes of one tag; doubling LENGTH must double the time, not
// quadruple it. Each file holds the shape many times so the time is measurable.
void LongTokens(const std::string& folder) {
  std::printf("Long tokens: 200 of each in a file (linear: ratio 2 per doubling)\n");
  const auto content = [](int length) {
    std::string text = "<a>";
    for (int i = 0; i < length / 60; ++i) text += std::string(58, 'x') + "\r\n";
    return text + "</a>\r\n";
  };
  const auto tag = [](int length) {
    std::string text = "<t";
    for (int i = 0; i < length / 12; ++i) text += " a" + std::to_string(100000 + i) + "=\"v\"\r\n";
    return text + ">\r\n</t>\r\n";
  };
  for (const auto& [name, shape] : {std::pair{"content run", std::function<std::string(int)>(content)},
                                    std::pair{"tag", std::function<std::string(int)>(tag)}}) {
    double previous = 0;
    std::string steps;
    for (int length : {7'500, 15'000, 30'000}) {
      std::string file;
      for (int i = 0; i < 200; ++i) file += shape(length);
      const double seconds = TimeOstrelOn(folder + "/long.xml", file);
      std::printf("  %-12s %6d chars %9.1f ms", name, length, seconds * 1e3);
      if (previous > 0) std::printf("  x%.2f", seconds / previous);
      if (previous > 0) steps += bench::Cell("%s×%.2f", steps.empty() ? "" : ", ", seconds / previous);
      std::printf("\n");
      previous = seconds;
    }
    bench::AddSummaryRow(bench::Cell("a %s of 7,500 to 30,000 characters, per doubling", name), steps, "",
                         "×2 (linear)");
  }
  std::printf("\n");
}

// Peak memory is bounded by the longest token, however long the lines: a
// file of memo lines, the same memos on one line, and one line of content
// that no "<" closes (the read drops it and reports the open element).
void Memory(const std::string& folder) {
  std::printf("Memory: peak resident memory of a process reading one file (goal < 32 MB, flat)\n");
  std::printf("  %8s %18s %18s %18s\n", "file", "memo lines", "memos on one line", "one content line");
  const std::string path = folder + "/large.xml";
  std::string peaks[3];
  const auto note = [&](std::string& peak, long kb) {
    std::printf(" %15.1f MB", kb / 1024.0);
    peak += bench::Cell("%s%.1f", peak.empty() ? "" : " / ", kb / 1024.0);
  };
  for (size_t megabytes : {10, 100, 200}) {
    const size_t bytes = megabytes * 1'000'000;
    std::printf("  %5zu MB", megabytes);
    bench::WriteLargeMemoFile(path, bytes, bench::MemoShape::kOneLine);
    note(peaks[0], bench::PeakOfRun({"--peak", path}));
    bench::WriteLargeMemoFile(path, bytes, bench::MemoShape::kSingleLine);
    note(peaks[1], bench::PeakOfRun({"--peak", path}));
    bench::WriteLongContentLine(path, bytes);
    note(peaks[2], bench::PeakOfRun({"--peak", path}));
    std::printf("\n");
    std::fflush(stdout);
  }
  std::filesystem::remove(path);
  std::printf("\n");
  const char* shapes[] = {"memo lines", "the same memos all on one line", "one line of content without \"<\""};
  for (int i = 0; i < 3; ++i) {
    bench::AddSummaryRow(bench::Cell("peak memory reading 10 / 100 / 200 MB of %s", shapes[i]), peaks[i] + " MB", "",
                         "< 32 MB, flat");
  }
}

// One read of PATH in a process of its own, for timing whole processes and
// for profiling.
int ReadOnce(const std::string& reader, const std::string& path) {
  if (reader == "ostrel") return ReadWithOstrel(path).callbacks > 0 ? 0 : 1;
  if (reader == "libxml2") return ReadWithLibxml2(path).callbacks > 0 ? 0 : 1;
  if (reader == "table-floor") return bench::DecodeWithTable(path).lines > 0 ? 0 : 1;
  if (reader == "slot-lines") return ReadSlotLines(path).lines > 0 ? 0 : 1;
  std::fprintf(stderr, "read_bench: no reader %s\n", reader.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--read") return ReadOnce(argv[2], argv[3]);
  if (argc == 5 && std::string(argv[1]) == "--make") {
    const std::string name = argv[2];
    const auto shape = name == "multi-line" ? bench::MemoShape::kMultiLine
                       : name == "prose"    ? bench::MemoShape::kProse
                                            : bench::MemoShape::kOneLine;
    bench::WriteFile(argv[4], bench::ToCp932(bench::MemoFileUtf8(std::atoi(argv[3]), shape, "Shift-JIS")));
    return 0;
  }
  if (argc == 3 && std::string(argv[1]) == "--peak") {
    ReadWithOstrel(argv[2]);
    std::printf("%ld\n", bench::PeakKb());
    return 0;
  }
  std::string floors;
  if (argc > 2 && std::string(argv[1]) == "--floors") {
    floors = argv[2];
    argv += 2;
    argc -= 2;
  }
  const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const std::vector<std::string> parts(argv + std::min(argc, 2), argv + argc);
  const auto wanted = [&](const std::string& part) { return parts.empty() || std::ranges::count(parts, part) > 0; };
  if (wanted("readers")) {
    CompareReaders(folder, "one-line memos", 200'000, bench::MemoShape::kOneLine);
    CompareReaders(folder, "multi-line memos", 50'000, bench::MemoShape::kMultiLine);
    CompareReaders(folder, "memos in Japanese sentences", 50'000, bench::MemoShape::kProse);
  }
  if (wanted("floors")) {
    if (floors.empty()) {
      std::fprintf(stderr, "read_bench: the floors part needs --floors DIR\n");
      return 2;
    }
    CompareFloors(folder, floors, "one-line memos", 200'000, bench::MemoShape::kOneLine);
    CompareFloors(folder, floors, "multi-line memos", 50'000, bench::MemoShape::kMultiLine);
  }
  if (wanted("dump")) {
    CompareDump(folder, "one-line memos", 200'000, bench::MemoShape::kOneLine);
    CompareDump(folder, "multi-line memos", 50'000, bench::MemoShape::kMultiLine);
  }
  if (wanted("small")) CompareSmallFile(folder);
  if (wanted("growth")) Growth(folder);
  if (wanted("long-tokens")) LongTokens(folder);
  if (wanted("memory")) Memory(folder);
  xmlCleanupParser();
  return 0;
}
