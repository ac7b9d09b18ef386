// Starts a Qt Widgets program on the offscreen platform with
// first_frame_signal preloaded, and reads what that hook reports once the
// program's first window has been painted. The program is killed when the
// watch ends.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace bench {

class FirstFrameWatch {
 public:
  // Throws std::runtime_error when PROGRAM cannot be started.
  FirstFrameWatch(const std::string& program, const std::string& hook);
  ~FirstFrameWatch();
  FirstFrameWatch(const FirstFrameWatch&) = delete;
  FirstFrameWatch& operator=(const FirstFrameWatch&) = delete;

  // Everything the hook wrote, up to its closing the descriptor: the class
  // name of the painted window and a newline. Throws std::runtime_error when
  // the program ends without a frame or none comes within half a minute.
  std::string ReadReport();

  // Ends the program and returns the most memory it ever held resident, in
  // kB; after ReadReport, that is its peak up to its first frame.
  long EndAndTakePeakKb();

  // Just before the program was forked.
  std::chrono::steady_clock::time_point started() const { return started_; }

 private:
  std::chrono::steady_clock::time_point started_;
  pid_t child_ = -1;
  int report_ = -1;
};

}  // namespace bench
