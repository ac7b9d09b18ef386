// The start-up hook: one report of the first painted window, and none unless
// it is asked for.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdlib>

#include "bench/first_frame.h"

namespace {

constexpr const char* kHook = OSTREL_BIN_DIR "/libfirst_frame_signal.so";

class PaintCounter final : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
};

}  // namespace

// The report is read up to the hook's closing its end, so a second line or a
// descriptor left open would show here.
TEST(FirstFrameSignal, ReportsTheFirstPaintedWindowOnceAndCloses) {
  bench::FirstFrameWatch watch(OSTREL_BIN_DIR "/bare_window", kHook);
  EXPECT_EQ(watch.ReadReport(), "QWidget\n");
}

// This program links the hook, so it is installed here as in a preloaded
// program; the descriptor it would write to is open, yet stays empty.
TEST(FirstFrameSignal, StaysSilentWithoutItsVariable) {
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  ASSERT_EQ(::dup2(ends[1], 9), 9);
  ::close(ends[1]);
  ::unsetenv("FIRST_FRAME_FD");
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int argc = 1;
  char name[] = "first_frame_test";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  QWidget window;
  PaintCounter counter;
  window.installEventFilter(&counter);
  window.show();
  for (int turn = 0; turn < 1000 && counter.paints == 0; ++turn) QCoreApplication::processEvents();
  // The turn on which a report would have been written.
  QCoreApplication::processEvents();
  ASSERT_GT(counter.paints, 0);
  pollfd ready = {ends[0], POLLIN, 0};
  EXPECT_EQ(::poll(&ready, 1, 0), 0);
  ::close(9);
  ::close(ends[0]);
}
