// Ostrel's read of a file with a handler that only counts: what the reading
// benchmarks time, in process and as a program of its own.
#pragma once

#include <string>

namespace bench {

// What every reader counts, so that none of them can skip the work.
struct Tally {
  long callbacks = 0;
  long characters = 0;
};

// Reads PATH through the component model; throws when SetData fails.
Tally ReadWithOstrel(const std::string& path);

}  // namespace bench
