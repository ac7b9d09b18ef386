// The window tests run in real Qt windows; without a display of their own
// they use Qt's offscreen platform, which also lets the test list be read at
// build time.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  // A death test starts the program afresh rather than forking a process
  // that has Qt's threads running.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
