// Start-up: the time from starting Lintrow to its first painted frame, nine
// memos shown, next to Lintrow's window with the same texts set without
// Ostrel (and, for scale, a bare Qt Widgets window), all timed the same way in
// the same run on the offscreen platform. Runs take turns so that the
// machine's load falls on all alike. Then Lintrow's peak memory with the
// sample memo file and with a 200 MB memo file of one line.
//
// startup_bench [FOLDER]   Lintrow runs from a scratch folder in FOLDER with
//                          the shipped sample memo file beside it
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/first_frame.h"
#include "bench/measure.h"
#include "bench/memo_files.h"
#include "bench/summary.h"

namespace {

namespace fs = std::filesystem;

// Start-up is short, so more runs than the other benchmarks make are cheap.
constexpr int kRuns = 15;

struct Program {
  std::string path;
  // What the hook reports for the window it should paint first: a message
  // box instead would mean the program failed.
  std::string window;
  std::vector<double> seconds;
};

// Waits for the first frame and throws unless it is PROGRAM's window.
void AwaitWindow(const Program& program, bench::FirstFrameWatch& watch) {
  const std::string report = watch.ReadReport();
  if (report != program.window + "\n") {
    throw std::runtime_error(program.path + " first painted a " + report.substr(0, report.find('\n')) + ", not a " +
                             program.window + " (a message box: is Ostrel registered beside it, in com-registry.d?)");
  }
}

double SecondsToFirstFrame(const Program& program, const std::string& hook) {
  bench::FirstFrameWatch watch(program.path, hook);
  AwaitWindow(program, watch);
  const auto painted = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(painted - watch.started()).count();
}

// Lintrow and its reference find their libraries, Ostrel's registration and
// the memo file beside themselves, so they are copied with them rather than
// linked to.
void FillScratch(const fs::path& bin, const fs::path& scratch) {
  fs::create_directories(scratch);
  for (const char* file : {"lintrow", "window_without_ostrel", "libostrel-com.so.1", "libOstrel.so.1"}) {
    fs::copy_file(bin / file, scratch / file, fs::copy_options::overwrite_existing);
  }
  fs::copy(bin / "com-registry.d", scratch / "com-registry.d",
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  fs::copy_file(OSTREL_SAMPLE_MEMO_FILE, scratch / "memo.xml", fs::copy_options::overwrite_existing);
}

void Measure(const fs::path& bin, const fs::path& scratch) {
  const std::string hook = (bin / "libfirst_frame_signal.so").string();
  FillScratch(bin, scratch);
  Program bare{(bin / "bare_window").string(), "QWidget", {}};
  Program window{(scratch / "window_without_ostrel").string(), "QMainWindow", {}};
  Program lintrow{(scratch / "lintrow").string(), "QMainWindow", {}};
  const std::vector<Program*> programs = {&bare, &window, &lintrow};
  // A first start of each fills the page cache; it is not counted.
  for (Program* program : programs) SecondsToFirstFrame(*program, hook);
  for (int run = 0; run < kRuns; ++run) {
    for (Program* program : programs) program->seconds.push_back(SecondsToFirstFrame(*program, hook));
  }
  const double bareSeconds = bench::Median(bare.seconds);
  const double windowSeconds = bench::Median(window.seconds);
  const double lintrowSeconds = bench::Median(lintrow.seconds);
  std::printf("Start-up on the offscreen platform: start to first painted frame, median of %d\n", kRuns);
  std::printf("  %-44s %9.1f ms\n", "bare Qt Widgets window", bareSeconds * 1e3);
  std::printf("  %-44s %9.1f ms\n", "Lintrow's window, texts set without Ostrel", windowSeconds * 1e3);
  std::printf("  %-44s %9.1f ms\n", "Lintrow, nine memos", lintrowSeconds * 1e3);
  std::printf("  Lintrow / its window without Ostrel: %.2f (goal <= 1.1)   Lintrow / bare: %.2f\n\n",
              lintrowSeconds / windowSeconds, lintrowSeconds / bareSeconds);
  bench::AddSummaryRow("Lintrow's start-up to its first painted frame, nine memos, offscreen Qt",
                       bench::Cell("%.1f ms", lintrowSeconds * 1e3),
                       bench::Cell("its window with the same texts set without Ostrel %.1f ms (Lintrow %.2f×); "
                                   "a bare Qt Widgets window %.1f ms",
                                   windowSeconds * 1e3, lintrowSeconds / windowSeconds, bareSeconds * 1e3),
                       "≤ 1.1× its own window");
}

long PeakAtFirstFrameKb(const Program& program, const std::string& hook) {
  bench::FirstFrameWatch watch(program.path, hook);
  AwaitWindow(program, watch);
  return watch.EndAndTakePeakKb();
}

// Lintrow reads its memo file before its first frame; a huge memo file of one
// line must cost it no more memory than the longest token in it.
void MeasureMemory(const fs::path& bin, const fs::path& scratch) {
  const std::string hook = (bin / "libfirst_frame_signal.so").string();
  const Program lintrow{(scratch / "lintrow").string(), "QMainWindow", {}};
  const long sample = PeakAtFirstFrameKb(lintrow, hook);
  const size_t bytes = bench::WriteLargeMemoFile((scratch / "memo.xml").string(), 200'000'000, bench::MemoShape::kSingleLine);
  const long large = PeakAtFirstFrameKb(lintrow, hook);
  std::printf("Lintrow's peak memory up to its first frame\n");
  std::printf("  %-44s %9.1f MB\n", "with the sample memo file", sample / 1024.0);
  std::printf("  %-44s %9.1f MB\n", ("with a " + std::to_string(bytes / 1'000'000) + " MB memo file of one line").c_str(),
              large / 1024.0);
  std::printf("  difference: %.1f MB (goal < 32)\n", (large - sample) / 1024.0);
  bench::AddSummaryRow("Lintrow's peak memory up to its first frame",
                       bench::Cell("sample memo file %.1f MB; a %zu MB memo file of one line %.1f MB", sample / 1024.0,
                                   bytes / 1'000'000, large / 1024.0),
                       "", "within 32 MB of the sample's");
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  const fs::path scratch = folder / "lintrow-startup";
  int status = 0;
  try {
    const fs::path bin = fs::canonical("/proc/self/exe").parent_path();
    Measure(bin, scratch);
    MeasureMemory(bin, scratch);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "startup_bench: %s\n", error.what());
    status = 1;
  }
  fs::remove_all(scratch);
  return status;
}
