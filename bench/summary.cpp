#include "bench/summary.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

std::string Cell(const char* format, ...) {
  va_list arguments, again;
  va_start(arguments, format);
  va_copy(again, arguments);
  // Measured first, so that a long cell is never cut short.
  const int size = std::vsnprintf(nullptr, 0, format, arguments);
  std::string text(static_cast<std::size_t>(std::max(size, 0)), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  va_end(arguments);
  return text;
}

std::string Thousands(long count) {
  std::string digits = std::to_string(count);
  for (auto at = static_cast<long>(digits.size()) - 3; at > (count < 0 ? 1 : 0); at -= 3) digits.insert(at, ",");
  return digits;
}

namespace {

[[noreturn]] void Fail(const char* what, const char* path) {
  std::fprintf(stderr, "bench: cannot add a row to the summary %s: %s\n", path, what);
  std::exit(1);
}

// A cell is one line of one column: tabs and line ends would break the row.
bool FitsACell(const std::string& text) { return text.find_first_of("\t\r\n") == std::string::npos; }

}  // namespace

void AddSummaryRow(const std::string& measurement, const std::string& ostrel, const std::string& peers,
                   const std::string& goal) {
  const char* path = std::getenv("OSTREL_BENCH_SUMMARY");
  if (path == nullptr || *path == '\0') return;
  if (path[0] != '/') Fail("the name is not an absolute path", path);
  for (const std::string* cell : {&measurement, &ostrel, &peers, &goal}) {
    if (!FitsACell(*cell)) Fail("a cell holds a tab or a line end", path);
  }
  const std::string row = measurement + '\t' + ostrel + '\t' + peers + '\t' + goal + '\n';
  // The file is made beforehand by whoever asks for the rows; never made here,
  // never reached through a link.
  const int file = ::open(path, O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) Fail(std::strerror(errno), path);
  const ssize_t written = ::write(file, row.data(), row.size());
  const int writeError = errno;
  if (::close(file) != 0 || written != static_cast<ssize_t>(row.size())) {
    Fail(written < 0 ? std::strerror(writeError) : "the row was cut short", path);
  }
}

}  // namespace bench
