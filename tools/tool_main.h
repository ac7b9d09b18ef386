// The frame of every tool's main: the command line, and output whose failure
// is reported.
//
// RunTool points std::cout at standard output through WriteOutput
// (standard_output.h), so --help and --version are checked as the work's own
// output is, and ignores SIGPIPE. It parses the command line; when that asks
// for work, it calls BODY. A failed write to standard output overrides the
// status: the tool says on stderr why its output is lost and exits with
// kOutputFailed (3).
#pragma once

#include <functional>

#include "tools/command_line.h"
#include "tools/standard_output.h"

namespace tools {

int RunTool(const ToolDescription& tool, int argc, char** argv, const std::function<int(const CommandLine&)>& body);

}  // namespace tools
