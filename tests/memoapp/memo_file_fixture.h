// MemoFileTest: the fixture of tests that go through memo files on disk: a scratch folder of
// the test's own, a fresh memo store, recorded message boxes, and Ostrel's
// reader reached by class identifier as Lintrow reaches it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "memoapp/memo_store.h"
#include <ostrel/com/message_box.h>

bool operator==(const CMemoData& a, const CMemoData& b);
void PrintTo(const CMemoData& memo, std::ostream* out);

class MemoFileTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::u16string PathOf(std::string_view name) const;

  // LINES as CP932, each ended by CR LF; raises 5 for a character that has
  // no CP932 form.
  std::u16string WriteFile(std::string_view name, const std::vector<std::u16string>& lines) const;

  // Reads PATH into the store through CXmlReader and a new CXmlMemoReader;
  // the result of SetData.
  static int16_t Read(const std::u16string& path);
  // Fills a fresh store with MEMOS (ten or more keep only nine).
  static void Store(const std::vector<CMemoData>& memos);
  static std::vector<CMemoData> StoredMemos();

  // WriteData of a new CXmlMemoReader; 0 when it succeeds, else the number
  // of the run-time error, whose description goes to DESCRIPTION.
  static int32_t WriteData(const std::u16string& path, std::u16string* description = nullptr);

  static std::string Bytes(const std::u16string& path);
  // The file's lines as CP932 text; fails the test unless every line, the
  // last one included, ends with CR LF.
  static std::vector<std::u16string> Lines(const std::u16string& path);

  std::filesystem::path folder_;
  std::vector<std::u16string> messages_;

 private:
  ostrel::com::MessageBoxSink savedSink_;
};
