#include "tools/script_source.h"

#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <system_error>

namespace tools {
namespace {

constexpr std::size_t kReadSize = 64 * 1024;

}  // namespace

bool ScriptSource::Refill() {
  buffer_.erase(0, start_);
  start_ = 0;
  const std::size_t kept = buffer_.size();
  buffer_.resize(kept + kReadSize);
  ssize_t count;
  do {
    count = ::read(fd_, buffer_.data() + kept, kReadSize);
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    const int error = errno;
    buffer_.resize(kept);
    throw std::system_error(error, std::generic_category());
  }
  buffer_.resize(kept + static_cast<std::size_t>(count));
  return count > 0;
}

ScriptSource::Next ScriptSource::Read(std::string& line) {
  bool tooLong = false;
  std::size_t searched = 0;  // bytes after start_ known to hold no "\n"
  for (;;) {
    const std::string_view pending = std::string_view(buffer_).substr(start_);
    const std::size_t end = pending.find('\n', searched);
    if (end != std::string_view::npos) {
      start_ += end + 1;
      if (tooLong || end > kMaxScriptLine) return Next::kTooLong;
      line.assign(pending.substr(0, end));
      return Next::kLine;
    }
    if (pending.size() > kMaxScriptLine) {
      // What is held of an overlong line is dropped, so memory stays bounded.
      tooLong = true;
      start_ = buffer_.size();
      searched = 0;
    } else {
      searched = pending.size();
    }
    if (!Refill()) break;
  }
  // The last line may lack its "\n".
  const std::string_view rest = std::string_view(buffer_).substr(start_);
  start_ = buffer_.size();
  if (tooLong || rest.size() > kMaxScriptLine) return Next::kTooLong;
  if (rest.empty()) return Next::kEnd;
  line.assign(rest);
  return Next::kLine;
}

}  // namespace tools
