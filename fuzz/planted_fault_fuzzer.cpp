// A target that fails on every input in the way OSTREL_PLANTED_FAULT names
// (crash, overflow, leak, hang) and passes every input without it. Only
// scripts/fuzz-selftest runs it, to see that scripts/fuzz fails when a
// fuzzer does.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace {

std::string_view PlantedFault() {
  const char* fault = std::getenv("OSTREL_PLANTED_FAULT");
  return fault ? fault : "";
}

void* volatile keep;  // what the leak drops, so the allocation is not optimized away

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string_view fault = PlantedFault();
  if (fault == "crash") std::abort();
  if (fault == "overflow") {
    volatile char* const block = static_cast<char*>(std::malloc(size + 1));
    block[size + 1] = size == 0 ? 0 : static_cast<char>(data[0]);
    std::free(const_cast<char*>(block));
  }
  if (fault == "leak") {
    keep = std::malloc(size + 16);
    keep = nullptr;
  }
  if (fault == "hang") std::this_thread::sleep_for(std::chrono::minutes(1));
  return 0;
}
