// ostrel-call SCRIPT: creates objects of registered classes by ProgID through
// the component model and calls their operations by name through IDispatch,
// as a late-bound client would, one JSON array a line; "-" reads the script
// from standard input. See script_command.h for the lines and
// script_runner.h for what each prints.
//
// Exit status: 0 when every line succeeded, 1 when any did not, 2 when the
// script cannot be read (a folder, say), also partway through: the lines read
// before have run; 3 when the output cannot be written, which stops the
// script at once.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

#include "tools/script_runner.h"
#include "tools/script_source.h"
#include "tools/tool_main.h"

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
  be read (also partway through) or on a usage error, 3 when standard output
  cannot be written (a full disk, a closed descriptor, a reader that went
  away); the script stops at the first line whose result is lost.
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
    tools::LineNumber number = 0;
    std::string line;
    for (tools::ScriptSource::Next next;
         tools::OutputError() == 0 && (next = script.Read(line)) != tools::ScriptSource::Next::kEnd;) {
      if (next == tools::ScriptSource::Next::kLine) runner.RunLine(line, ++number);
      else runner.RefuseLongLine(++number);
    }
  } catch (const std::system_error& error) {
    status = CannotRead(path, error.code().value());
  }
  runner.Finish();
  return status != 0 ? status : runner.allSucceeded() ? 0 : 1;
}

int Call(const tools::CommandLine& line) {
  const std::string& path = line.operands().front();
  if (path == "-") return RunScript(STDIN_FILENO, path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return CannotRead(path, errno);
  return RunScript(fd, path);
}

}  // namespace

int main(int argc, char** argv) { return tools::RunTool(kTool, argc, argv, Call); }
