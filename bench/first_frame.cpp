#include "bench/first_frame.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <vector>

extern char** environ;

namespace bench {

namespace {

// The descriptor the hook writes to, fixed so the child needs no arithmetic.
constexpr int kReportDescriptor = 9;
constexpr int kPatienceMs = 30'000;

// The caller's environment with the hook's settings in place of any it had.
std::vector<std::string> ChildEnvironment(const std::string& hook) {
  const std::vector<std::string> settings = {"QT_QPA_PLATFORM=offscreen", "LD_PRELOAD=" + hook,
                                             "FIRST_FRAME_FD=" + std::to_string(kReportDescriptor)};
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    bool replaced = false;
    for (const std::string& setting : settings) replaced |= text.starts_with(setting.substr(0, setting.find('=') + 1));
    if (!replaced) environment.emplace_back(text);
  }
  environment.insert(environment.end(), settings.begin(), settings.end());
  return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Qt's warnings about the offscreen platform would only clutter the figures.
[[noreturn]] void BecomeProgram(std::string& program, std::vector<char*>& environment, int reportEnd) {
  const int quiet = ::open("/dev/null", O_WRONLY);
  ::dup2(quiet, STDOUT_FILENO);
  ::dup2(quiet, STDERR_FILENO);
  ::dup2(reportEnd, kReportDescriptor);
  char* arguments[] = {program.data(), nullptr};
  ::execve(program.c_str(), arguments, environment.data());
  std::_Exit(127);
}

}  // namespace

FirstFrameWatch::FirstFrameWatch(const std::string& program, const std::string& hook) {
  std::vector<std::string> environmentTexts = ChildEnvironment(hook);
  std::vector<char*> environment = Pointers(environmentTexts);
  std::string path = program;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for " + program);
  started_ = std::chrono::steady_clock::now();
  child_ = ::fork();
  if (child_ == 0) BecomeProgram(path, environment, ends[1]);
  ::close(ends[1]);
  report_ = ends[0];
  if (child_ < 0) throw std::runtime_error("cannot start " + program);
}

FirstFrameWatch::~FirstFrameWatch() {
  if (report_ >= 0) ::close(report_);
  if (child_ <= 0) return;
  ::kill(child_, SIGKILL);
  ::waitpid(child_, nullptr, 0);
}

long FirstFrameWatch::EndAndTakePeakKb() {
  if (child_ <= 0) throw std::runtime_error("the program has already ended");
  ::kill(child_, SIGKILL);
  struct rusage usage = {};
  const pid_t ended = ::wait4(child_, nullptr, 0, &usage);
  child_ = -1;
  if (ended < 0) throw std::runtime_error("cannot measure the program's memory");
  return usage.ru_maxrss;
}

std::string FirstFrameWatch::ReadReport() {
  std::string report;
  char block[256];
  for (;;) {
    pollfd ready = {report_, POLLIN, 0};
    if (::poll(&ready, 1, kPatienceMs) != 1) throw std::runtime_error("no frame within half a minute");
    const ssize_t count = ::read(report_, block, sizeof block);
    if (count < 0) throw std::runtime_error("cannot read the frame report");
    if (count == 0) break;
    report.append(block, static_cast<size_t>(count));
  }
  if (report.empty()) throw std::runtime_error("the program ended without painting a frame");
  return report;
}

}  // namespace bench
