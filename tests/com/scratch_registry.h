// A test fixture that puts a registry folder of the test's own first in the
// component model's lookup order (COM_REGISTRY), in a scratch folder removed
// afterwards. ostrel-regsvr writes there too unless told otherwise.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("com-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    registry_ = (folder_ / "registry").string();
    ::setenv("COM_REGISTRY", registry_.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("COM_REGISTRY");
    std::filesystem::remove_all(folder_);
  }

  static int RegisterCounterServer() { return RunRegsvr(CounterLibrary()); }
  static int UnregisterCounterServer() { return RunRegsvr("-u " + CounterLibrary()); }

  std::filesystem::path folder_;
  std::string registry_;

 private:
  static std::string CounterLibrary() { return std::string(OSTREL_BIN_DIR) + "/libcounter_server.so"; }
  static int RunRegsvr(const std::string& arguments) {
    return std::system((std::string(OSTREL_BIN_DIR) + "/ostrel-regsvr " + arguments + " >/dev/null 2>&1").c_str());
  }
};
