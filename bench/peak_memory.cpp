#include "bench/peak_memory.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace bench {

long PeakKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  }
  return -1;
}

long PeakOfRun(const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>("bench")};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int out[2];
  if (::pipe(out) != 0) throw std::runtime_error("no pipe");
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::execv("/proc/self/exe", argv.data());
    std::_Exit(127);
  }
  ::close(out[1]);
  char text[64] = {};
  const ssize_t count = ::read(out[0], text, sizeof text - 1);
  ::close(out[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return count > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atol(text) : -1;
}

}  // namespace bench
