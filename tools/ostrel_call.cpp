// ostrel-call SCRIPT: creates objects of registered classes by ProgID through
// the component model and calls their operations by name through IDispatch,
// as a late-bound client would, one JSON array a line; "-" reads the script
// from standard input. See script_command.h for the lines and
// script_runner.h for what each prints.
//
// Exit status: 0 when every line succeeded, 1 when any did not, 2 when the
// script cannot be read (a folder, say), also partway through: the lines read
// before have run.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

#include "tools/command_line.h"
#include "tools/script_runner.h"
#include "tools/script_source.h"

namespace {

constexpr std::string_view kHelp =
    R"(Usage: ostrel-call [--] SCRIPT
Create objects of registered classes by ProgID through the component model
and call their operations by name through IDispatch, as a late-bound client
would. SCRIPT holds one JSON array a line; "-" reads it from standard input.

Options:
  --help     print this help and exit
  --version  print the version and exit

Exit status:
  0 when every line succeeded, 1 when any did not, 2 when the script cannot
  be read (also partway through) or on a usage error.
)";

constexpr tools::ToolDescription kTool{"ostrel-call", kHelp, {}, 1};

int CannotRead(std::string_view path, int error) {
  std::cerr << "ostrel-call: cannot read " << path << ": " << std::strerror(error) << '\n';
  return 2;
}

int RunScript(int fd, std::string_view path) {
  tools::ScriptSource script(fd);
  tools::ScriptRunner runner(std::cout);
  int status = 0;
  try {
    int number = 0;
    std::string line;
    for (tools::ScriptSource::Next next; (next = script.Read(line)) != tools::ScriptSource::Next::kEnd;) {
      if (next == tools::ScriptSource::Next::kLine) runner.RunLine(line, ++number);
      else runner.RefuseLongLine(++number);
    }
  } catch (const std::system_error& error) {
    status = CannotRead(path, error.code().value());
  }
  runner.Finish();
  return status != 0 ? status : runner.allSucceeded() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const tools::CommandLine line(kTool, argc, argv);
  if (line.finished()) return *line.finished();
  const std::string& path = line.operands().front();
  if (path == "-") return RunScript(STDIN_FILENO, path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return CannotRead(path, errno);
  return RunScript(fd, path);
}
