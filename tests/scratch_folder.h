// A test fixture with a scratch folder of its own, removed afterwards, and
// the helpers that put bytes into files there and read them back. The file
// slot is closed after each test, so a failing test does not take the next
// one's slot.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/file_slot.h"
#include <ostrel/com/runtime_error.h>
#include "runtime/unicode.h"

class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("slot-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    try {
      ostrel::com::file_slot::Close();
    } catch (const ostrel::com::RuntimeError&) {
    }
    std::filesystem::remove_all(folder_);
  }

  // The name of FILE in the scratch folder, as the file slot takes it.
  std::u16string Name(const std::string& file) const { return ostrel::com::FromUtf8((folder_ / file).string()); }

  std::u16string WriteBytes(const std::string& file, const std::string& bytes) const {
    std::ofstream(folder_ / file, std::ios::binary) << bytes;
    return Name(file);
  }

  // Opens FILE in the scratch folder for output through the slot.
  std::u16string OpenOutput(const std::string& file) const {
    ostrel::com::file_slot::OpenForOutput(Name(file));
    return Name(file);
  }

  static std::string ReadBytes(const std::u16string& name) {
    std::ifstream in(ostrel::com::ToUtf8(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Closes the slot and returns what reached the file NAME.
  static std::string BytesAfterClose(const std::u16string& name) {
    ostrel::com::file_slot::Close();
    return ReadBytes(name);
  }

  // Every line of NAME through the file slot, which is closed again.
  static std::vector<std::u16string> ReadLines(const std::u16string& name) {
    ostrel::com::file_slot::OpenForInput(name);
    std::vector<std::u16string> lines;
    while (!ostrel::com::file_slot::AtEnd()) lines.emplace_back(ostrel::com::file_slot::ReadLinePiece(SIZE_MAX).text);
    ostrel::com::file_slot::Close();
    return lines;
  }

  // The error number that ACTION raises, 0 when it raises none.
  template <typename Action>
  static int ErrorOf(Action action) {
    try {
      action();
      return 0;
    } catch (const ostrel::com::RuntimeError& error) {
      return error.number();
    }
  }

  std::filesystem::path folder_;
};
