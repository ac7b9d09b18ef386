// Peak resident memory, of this process or of a fresh run of this program
// that does one thing, so that nothing else it did counts.
#pragma once

#include <string>
#include <vector>

namespace bench {

// This process's peak resident memory in kB; -1 when unknown.
long PeakKb();

// Runs this program again with ARGUMENTS; it must print its peak (PeakKb)
// on standard output and exit with 0. -1 when it does not.
long PeakOfRun(const std::vector<std::string>& arguments);

}  // namespace bench
