// The lines of an ostrel-call script, read from a file descriptor.
//
// A line holds at most kMaxScriptLine bytes before its "\n"; a longer one is
// read past whole, without being kept, so no script line can take more memory
// than that.
#pragma once

#include <cstddef>
#include <string>

namespace tools {

constexpr std::size_t kMaxScriptLine = 1 << 20;

class ScriptSource {
 public:
  enum class Next { kLine, kTooLong, kEnd };

  explicit ScriptSource(int fd) : fd_(fd) {}

  // The next line into LINE, without its "\n". Raises std::system_error when
  // the script cannot be read further.
  Next Read(std::string& line);

 private:
  // False at the end of the input.
  bool Refill();

  int fd_;
  std::string buffer_;
  std::size_t start_ = 0;  // the first byte of buffer_ not yet handed out
};

}  // namespace tools
