// ostrel-call SCRIPT: creates objects of registered classes by ProgID through
// the component model and calls their operations by name through IDispatch,
// as a late-bound client would, one JSON array a line; "-" reads the script
// from standard input. See script_command.h for the lines and
// script_runner.h for what each prints.
//
// Exit status: 0 when every line succeeded, 1 when any did not, 2 when the
// script cannot be read.
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/command_line.h"
#include "tools/script_runner.h"

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
  be read or on a usage error.
)";

constexpr tools::ToolDescription kTool{"ostrel-call", kHelp, {}, 1};

int RunScript(std::istream& script) {
  tools::ScriptRunner runner(std::cout);
  int number = 0;
  for (std::string line; std::getline(script, line);) runner.RunLine(line, ++number);
  runner.Finish();
  return runner.allSucceeded() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const tools::CommandLine line(kTool, argc, argv);
  if (line.finished()) return *line.finished();
  const std::string& path = line.operands().front();
  if (path == "-") return RunScript(std::cin);
  std::ifstream script{path};
  if (!script) {
    std::cerr << "ostrel-call: cannot read " << path << '\n';
    return 2;
  }
  return RunScript(script);
}
