// Output a tool cannot write: a full disk, a closed descriptor, a reader that
// went away. Each tool, --help and --version included, says so on stderr and
// exits 3, and stops its work at once: nobody would see the rest.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "tests/tools/call_fixture.h"

namespace {

using call_test::Slurp;

enum class Sink { kFullDisk, kClosed, kBrokenPipe };

struct SinkCase {
  const char* name;
  Sink sink;
  int error;  // the errno the tool must name
};

const SinkCase kSinks[] = {
    {"FullDisk", Sink::kFullDisk, ENOSPC},
    {"Closed", Sink::kClosed, EBADF},
    {"BrokenPipe", Sink::kBrokenPipe, EPIPE},
};

void PrintTo(const SinkCase& sink, std::ostream* out) { *out << sink.name; }

struct ToolRun {
  const char* name;
  std::string tool;
  std::vector<std::string> arguments;  // taken from the scratch folder
};

const std::string kBin = OSTREL_BIN_DIR;
const char kWriter[] = R"(["new", "w", "Ostrel.CXmlWriter"])";

const ToolRun kRuns[] = {
    {"DumpHelp", "ostrel-dump", {"--help"}},
    {"DumpVersion", "ostrel-dump", {"--version"}},
    {"Dump", "ostrel-dump", {"memo.xml"}},
    {"CallHelp", "ostrel-call", {"--help"}},
    {"CallVersion", "ostrel-call", {"--version"}},
    {"Call", "ostrel-call", {"script.txt"}},
    {"RegsvrHelp", "ostrel-regsvr", {"--help"}},
    {"RegsvrVersion", "ostrel-regsvr", {"--version"}},
    {"Regsvr", "ostrel-regsvr", {"--registry", "registry", kBin + "/libcounter_server.so"}},
};

void PrintTo(const ToolRun& run, std::ostream* out) { *out << run.name; }

struct Outcome {
  int status;
  std::string errors;
};

class OutputFailure : public ostrel_test::XmlFileTest {
 protected:
  void SetUp() override {
    XmlFileTest::SetUp();
    WriteLines("memo.xml", {"<a>x</a>"});
    WriteLines("script.txt", {kWriter});
  }

  // Runs PROGRAM with ARGUMENTS in the scratch folder, its standard output
  // failing as SINK says and SIGPIPE as a fresh process has it.
  Outcome Run(const std::vector<std::string>& program, Sink sink) {
    int pipeEnds[2] = {-1, -1};
    if (sink == Sink::kBrokenPipe) {
      EXPECT_EQ(::pipe(pipeEnds), 0);
      ::close(pipeEnds[0]);  // nobody reads
    }
    const pid_t child = ::fork();
    if (child == 0) {
      ::signal(SIGPIPE, SIG_DFL);
      if (::chdir(folder_.c_str()) != 0) ::_exit(126);
      const int errors = ::open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(errors, STDERR_FILENO);
      if (sink == Sink::kFullDisk) ::dup2(::open("/dev/full", O_WRONLY), STDOUT_FILENO);
      if (sink == Sink::kClosed) ::close(STDOUT_FILENO);
      if (sink == Sink::kBrokenPipe) ::dup2(pipeEnds[1], STDOUT_FILENO);
      std::vector<char*> argv;
      for (const std::string& argument : program) argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    if (sink == Sink::kBrokenPipe) ::close(pipeEnds[1]);
    int raw = 0;
    ::waitpid(child, &raw, 0);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), Slurp(folder_ / "err.txt")};
  }

  static std::vector<std::string> Program(const std::string& tool, const std::vector<std::string>& arguments) {
    std::vector<std::string> program{kBin + "/" + tool};
    program.insert(program.end(), arguments.begin(), arguments.end());
    return program;
  }

  static std::string Complaint(const std::string& tool, int error) {
    return tool + ": cannot write standard output: " + std::strerror(error) + "\n";
  }
};

class EveryToolAndSink : public OutputFailure, public ::testing::WithParamInterface<std::tuple<ToolRun, SinkCase>> {};

TEST_P(EveryToolAndSink, SaysSoAndExits3) {
  const auto& [run, sink] = GetParam();
  const Outcome outcome = Run(Program(run.tool, run.arguments), sink.sink);
  EXPECT_EQ(outcome.status, 3);
  EXPECT_EQ(outcome.errors, Complaint(run.tool, sink.error));
}

INSTANTIATE_TEST_SUITE_P(Runs, EveryToolAndSink, ::testing::Combine(::testing::ValuesIn(kRuns), ::testing::ValuesIn(kSinks)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

class EverySink : public OutputFailure, public ::testing::WithParamInterface<SinkCase> {};

// The second line would create a file; the first line's result is lost
// already, so it must not run.
TEST_P(EverySink, CallRunsNoLineAfterTheFirstLostResult) {
  WriteLines("script.txt", {kWriter, R"(["call", "w", "XmlOpen", "later.xml"])"});
  const Outcome outcome = Run(Program("ostrel-call", {"script.txt"}), GetParam().sink);
  EXPECT_EQ(outcome.status, 3);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "later.xml"));
}

INSTANTIATE_TEST_SUITE_P(Sinks, EverySink, ::testing::ValuesIn(kSinks),
                         [](const auto& info) { return std::string(info.param.name); });

// Seen in the system calls: after the first write that meets the broken pipe,
// the memo file is not read any further. The memo's dump is many times the
// tool's output block.
TEST_F(OutputFailure, DumpStopsReadingAtABrokenPipe) {
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is missing";
  std::string memo;
  for (int i = 0; i < 200000; ++i) memo += "<a>" + std::to_string(i) + "</a>\r\n";
  WriteBytes("big.xml", memo);
  const std::string trace = (folder_ / "trace.txt").string();
  // The leak checker of a sanitizer build cannot run under a tracer and would
  // end the tool with its own status.
  const Outcome outcome = Run({"/usr/bin/strace", "-qq", "-e", "trace=openat,read,write", "-e", "signal=none", "-E",
                               "ASAN_OPTIONS=detect_leaks=0", "-o", trace, kBin + "/ostrel-dump", "big.xml"},
                              Sink::kBrokenPipe);
  EXPECT_EQ(outcome.status, 3);
  const std::vector<std::string> calls = call_test::SplitLines(Slurp(trace));
  std::string memoFd;
  std::size_t broken = calls.size();
  std::smatch found;
  for (std::size_t i = 0; i < calls.size() && broken == calls.size(); ++i) {
    if (std::regex_search(calls[i], found, std::regex(R"(^openat\(.*big\.xml".*= (\d+)$)"))) memoFd = found[1];
    if (calls[i].starts_with("write(1,") && calls[i].find("EPIPE") != std::string::npos) broken = i;
  }
  ASSERT_FALSE(memoFd.empty()) << "the memo was never opened";
  ASSERT_LT(broken, calls.size()) << "no write met the broken pipe";
  const auto readsAfter = std::count_if(calls.begin() + static_cast<std::ptrdiff_t>(broken), calls.end(),
                                        [&](const std::string& call) { return call.starts_with("read(" + memoFd + ","); });
  EXPECT_EQ(readsAfter, 0) << "the memo was read on after the broken pipe";
}

}  // namespace
