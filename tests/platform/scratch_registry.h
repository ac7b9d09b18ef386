// A test fixture that points the component model at a registry of the test's
// own, in a scratch folder removed afterwards.
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
    const char* saved = std::getenv("COM_REGISTRY");
    saved_ = saved ? saved : "";
    ::setenv("COM_REGISTRY", (folder_ / "registry").c_str(), 1);
  }
  void TearDown() override {
    ::setenv("COM_REGISTRY", saved_.c_str(), 1);
    std::filesystem::remove_all(folder_);
  }

  static int RegisterCounterServer() { return RunRegsvr(CounterLibrary()); }
  static int UnregisterCounterServer() { return RunRegsvr("-u " + CounterLibrary()); }

  std::filesystem::path folder_;

 private:
  static std::string CounterLibrary() { return std::string(OSTREL_BIN_DIR) + "/libcounter_server.so"; }
  static int RunRegsvr(const std::string& arguments) {
    return std::system((std::string(OSTREL_BIN_DIR) + "/ostrel-regsvr " + arguments + " >/dev/null 2>&1").c_str());
  }

  std::string saved_;
};
