#include "tools/tool_main.h"

#include <csignal>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string_view>

namespace tools {
namespace {

// std::cout's bytes, handed to WriteOutput a buffer at a time and at every
// flush (std::endl), so a failure shows at once.
class OutputBuffer final : public std::streambuf {
 public:
  OutputBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }

 protected:
  int_type overflow(int_type unit) override {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(unit, traits_type::eof())) sputc(traits_type::to_char_type(unit));
    return traits_type::not_eof(unit);
  }
  int sync() override {
    const bool written = WriteOutput(std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
    setp(buffer_, buffer_ + sizeof buffer_);
    return written ? 0 : -1;
  }

 private:
  char buffer_[4096];
};

}  // namespace

int RunTool(const ToolDescription& tool, int argc, char** argv, const std::function<int(const CommandLine&)>& body) {
  std::signal(SIGPIPE, SIG_IGN);
  OutputBuffer buffer;
  std::streambuf* const saved = std::cout.rdbuf(&buffer);
  int status;
  {
    const CommandLine line(tool, argc, argv);
    status = line.finished() ? *line.finished() : body(line);
  }
  std::cout.flush();
  std::cout.rdbuf(saved);
  if (const int error = OutputError()) {
    std::cerr << tool.name << ": cannot write standard output: " << std::strerror(error) << '\n';
    return kOutputFailed;
  }
  return status;
}

}  // namespace tools
