#include "tools/standard_output.h"

#include <unistd.h>

#include <cerrno>

namespace tools {
namespace {

int firstError = 0;

}  // namespace

bool WriteOutput(std::string_view bytes) {
  while (!bytes.empty() && firstError == 0) {
    const ssize_t count = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (count > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(count));
    } else if (count == 0) {
      firstError = EIO;  // no progress: taken as a failure, so the loop ends
    } else if (errno != EINTR) {
      firstError = errno;
    }
  }
  return firstError == 0;
}

int OutputError() { return firstError; }

}  // namespace tools
