// count_read FILE: Ostrel's read of FILE with a counting handler, in a
// process that holds nothing else, so that timing it as a whole process
// compares like with like against the floors, which are lean programs too.
// Prints the callbacks and content characters, as iface_floor does.
#include <cstdio>
#include <exception>

#include "bench/counting_read.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: count_read FILE\n");
    return 2;
  }
  try {
    const bench::Tally tally = bench::ReadWithOstrel(argv[1]);
    std::printf("count_read: calls=%ld characters=%ld\n", tally.callbacks, tally.characters);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "count_read: %s\n", error.what());
    return 1;
  }
}
