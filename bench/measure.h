// Timing for the benchmarks: the median wall time of several runs, and the
// figures printed as MB/s with ratios against a peer of the same run.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

constexpr int kRuns = 5;

// Median seconds of kRuns calls of WORK.
template <class Work>
double MedianSeconds(Work work) {
  std::vector<double> seconds;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    work();
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(seconds.begin(), seconds.begin() + kRuns / 2, seconds.end());
  return seconds[kRuns / 2];
}

// One line: name, milliseconds, MB/s of BYTES, and the time as a multiple of
// BASELINE's.
inline void PrintRow(const std::string& name, double seconds, double bytes, double baseline) {
  std::printf("  %-34s %9.1f ms %8.1f MB/s %7.2fx\n", name.c_str(), seconds * 1e3, bytes / seconds / 1e6,
              seconds / baseline);
}

}  // namespace bench
