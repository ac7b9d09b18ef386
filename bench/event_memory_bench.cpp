// Peak resident memory of a process that iterates every event of a memo file
// with ostrel::read, beside one that reads it with SetData into the library's
// own handler: the range holds one batch, never the file's events, so both
// stay flat from 1 MB to 200 MB.
//
//   event_memory_bench [FOLDER]     (FOLDER for the scratch file; /tmp)
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/memo_files.h"
#include "bench/peak_memory.h"
#include "bench/summary.h"
#include <ostrel/ostrel.hpp>

namespace {

long Iterate(const std::string& path) {
  long events = 0;
  for (const ostrel::Event& e : ostrel::read(path)) events += e.kind() != ostrel::EventKind::Fault;
  return events;
}

long SetData(const std::string& path) {
  auto reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
  auto handler = ostrel::com::CreateObject<_IXmlHandler>(ostrel::kIXmlHandlerId);
  ostrel::com::Bstr name(ostrel::com::FromFileName(path));
  int16_t result = -1;
  ostrel::com::Check(reader->SetData(name.Address(), handler.Address(), &result));
  return result == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--events") {
    if (Iterate(argv[2]) == 0) return 1;
    std::printf("%ld\n", bench::PeakKb());
    return 0;
  }
  if (argc == 3 && std::string(argv[1]) == "--set-data") {
    if (SetData(argv[2]) == 0) return 1;
    std::printf("%ld\n", bench::PeakKb());
    return 0;
  }
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
  const std::string path = (folder / ("event_memory_bench-" + std::to_string(::getpid()) + ".xml")).string();
  std::printf("Peak resident memory of a process reading one memo file\n");
  std::printf("  %8s %14s %14s %8s\n", "file", "ostrel::read", "SetData", "ratio");
  std::string iterating, reading;
  for (const std::size_t megabytes : {1, 10, 200}) {
    const std::size_t size = bench::WriteLargeMemoFile(path, megabytes * 1'000'000, bench::MemoShape::kOneLine);
    const long events = bench::PeakOfRun({"--events", path});
    const long setData = bench::PeakOfRun({"--set-data", path});
    std::printf("  %5zu MB %11.1f MB %11.1f MB %8.2f\n", size / 1'000'000, events / 1024.0, setData / 1024.0,
                setData > 0 ? static_cast<double>(events) / setData : 0.0);
    const char* between = iterating.empty() ? "" : " / ";
    iterating += bench::Cell("%s%.1f", between, events / 1024.0);
    reading += bench::Cell("%s%.1f", between, setData / 1024.0);
    std::fflush(stdout);
  }
  std::filesystem::remove(path);
  bench::AddSummaryRow("C++: peak memory iterating 1 / 10 / 200 MB of memo lines with `ostrel::read`",
                       iterating + " MB", "SetData " + reading + " MB", "flat");
  return 0;
}
