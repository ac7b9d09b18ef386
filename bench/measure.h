// Timing for the benchmarks: the median wall time of several runs, and the
// figures printed as MB/s with ratios against a peer of the same run.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

constexpr int kRuns = 7;

inline double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

// Seconds of RUNS calls of each of WORKS, [work][run]. The calls take turns,
// so that a change in the machine's load falls on all of them alike and the
// ratios between them stay fair.
inline std::vector<std::vector<double>> SecondsInTurns(const std::vector<std::function<void()>>& works, int runs) {
  std::vector<std::vector<double>> seconds(works.size());
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < works.size(); ++i) {
      const auto start = std::chrono::steady_clock::now();
      works[i]();
      seconds[i].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
  }
  return seconds;
}

inline std::vector<double> Medians(const std::vector<std::vector<double>>& seconds) {
  std::vector<double> medians;
  for (const std::vector<double>& each : seconds) medians.push_back(Median(each));
  return medians;
}

// Median seconds of RUNS calls of each of WORKS, taking turns.
inline std::vector<double> MedianSecondsInTurns(const std::vector<std::function<void()>>& works, int runs = kRuns) {
  return Medians(SecondsInTurns(works, runs));
}

// A's time over B's within each turn: the median, and the least and most.
// A program's process now and then runs a third slower than in the turns
// around it (on this kind of virtual machine, where it lands decides), and
// a ratio within a turn is spared the other programs' such turns.
struct PairedRatio {
  double median, least, most;
};
inline PairedRatio RatioInTurns(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> ratios;
  for (std::size_t run = 0; run < a.size(); ++run) ratios.push_back(a[run] / b[run]);
  return {Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
          *std::max_element(ratios.begin(), ratios.end())};
}

inline double MedianSeconds(const std::function<void()>& work) { return MedianSecondsInTurns({work})[0]; }

// One line: name, milliseconds, MB/s of BYTES, and the time as a multiple of
// BASELINE's.
inline void PrintRow(const std::string& name, double seconds, double bytes, double baseline) {
  std::printf("  %-34s %9.1f ms %8.1f MB/s %7.2fx\n", name.c_str(), seconds * 1e3, bytes / seconds / 1e6,
              seconds / baseline);
}

}  // namespace bench
