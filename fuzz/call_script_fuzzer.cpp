// ostrel-call's script runner on arbitrary scripts, against the real Ostrel
// library, registered in a scratch registry and loaded through the component
// model, in a scratch folder that is emptied after every input.
//
// Each line that is not skipped must print exactly one JSON object naming its
// line, whatever the line holds; the sanitizers watch everything else.
#include <dlfcn.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "tools/script_runner.h"

namespace {

using ostrel_fuzz::Require;

std::filesystem::path& ScratchFolder() {
  static std::filesystem::path folder;
  return folder;
}

void RemoveScratch() {
  std::error_code ignored;
  std::filesystem::remove_all(ScratchFolder(), ignored);
  std::filesystem::remove(ostrel_fuzz::ScratchPath("registry"), ignored);
}

void RegisterOstrel() {
  setenv("COM_REGISTRY", ostrel_fuzz::ScratchPath("registry").c_str(), 1);
  void* library = dlopen(OSTREL_FUZZ_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  Require(library != nullptr, "the fuzz build of Ostrel loads");
  auto registerServer = reinterpret_cast<DllRegisterServerFn>(dlsym(library, "DllRegisterServer"));
  Require(registerServer && !Failed(registerServer()), "Ostrel registers");
}

void EmptyScratchFolder() {
  for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder())) {
    std::filesystem::remove_all(entry.path());
  }
}

// Every file a script names must stay in the scratch folder, so a script that
// could name a path is not run: a "/" (also written "\/") or its \u escape.
bool NamesOnlyLocalFiles(std::string_view script) {
  return script.find('/') == std::string_view::npos && script.find("u002f") == std::string_view::npos &&
         script.find("u002F") == std::string_view::npos;
}

bool IsSkipped(std::string_view line) {
  const size_t first = line.find_first_not_of(" \t\r");
  return first == std::string_view::npos || line[first] == '#';
}

void CheckOutput(const std::string& output, int expectedLines) {
  std::istringstream lines(output);
  int count = 0;
  for (std::string line; std::getline(lines, line);) {
    const nlohmann::json printed = nlohmann::json::parse(line, nullptr, false);
    Require(printed.is_object() && printed.value("line", 0) > count, "each output line is an object naming its line");
    count = printed["line"];
  }
  Require(std::count(output.begin(), output.end(), '\n') == expectedLines, "one output line per line run");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ostrel_fuzz::SilenceMessageBoxes();
  ScratchFolder() = ostrel_fuzz::ScratchPath("files");
  std::filesystem::create_directories(ScratchFolder());
  RegisterOstrel();
  std::atexit(RemoveScratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  if (!NamesOnlyLocalFiles(script)) return -1;
  // Only while the script runs: libFuzzer's own paths may be relative.
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path(ScratchFolder());
  std::ostringstream output;
  int expectedLines = 0;
  {
    tools::ScriptRunner runner(output);
    int number = 0;
    for (size_t start = 0; start <= script.size();) {
      const size_t end = std::min(script.find('\n', start), script.size());
      const std::string_view line = script.substr(start, end - start);
      runner.RunLine(line, ++number);
      if (!IsSkipped(line)) ++expectedLines;
      start = end + 1;
    }
    runner.Finish();
  }
  EmptyScratchFolder();
  std::filesystem::current_path(home);
  CheckOutput(output.str(), expectedLines);
  return 0;
}
