// Runs ostrel-call as a program in a scratch folder of its own, so relative
// file names in a script land there, and collects what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <ostrel/com/runtime_error.h>
#include "tests/xmllib/xml_test_support.h"
#include "tools/json.h"

namespace call_test {

using Lines = std::vector<std::string>;

struct Outcome {
  int status;
  Lines out;
  std::string errors;
};

inline std::string Slurp(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// Cut at LF only, so that a CR before it stays visible.
inline Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The line for a call that failed with a run-time error's standard text.
inline std::string FailedLine(int line, int32_t number) {
  return "{\"line\":" + std::to_string(line) + ",\"error\":" + std::to_string(number) +
         ",\"description\":" + tools::JsonString(ostrel::com::StandardDescription(number)) + "}";
}

// The scratch folder and its clean-up come from the library's own tests.
class CallTest : public ostrel_test::XmlFileTest {
 protected:
  // Writes SCRIPT, one line each, and runs the tool on it.
  Outcome Call(const Lines& script) {
    std::string text;
    for (const std::string& line : script) text += line + "\n";
    std::ofstream(folder_ / "script.txt", std::ios::binary) << text;
    return RunTool("script.txt");
  }

  // ARGUMENTS are put on the command line as they stand.
  Outcome RunTool(const std::string& arguments) {
    const std::string command = "cd '" + folder_.string() + "' && '" + OSTREL_BIN_DIR + "/ostrel-call' " +
                                arguments + " >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    return Outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, SplitLines(Slurp(folder_ / "out.txt")),
                   Slurp(folder_ / "err.txt")};
  }

  std::string FileText(const std::string& name) const { return Slurp(folder_ / name); }
};

}  // namespace call_test
