// A run-time error that reaches a handler as a failed call ends the program
// after a report naming its number and description.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <ostrel/com/runtime_error.h>
#include "runtime/unicode.h"
#include "tests/window/window_fixture.h"
#include "tests/xmllib_e2e/broken_ostrel_registry.h"

using FailedCall = QtWindowTest;

namespace {
const std::u16string kDuplicateTitle = u"\t<sentence Title=\"a\" Title=\"b\">x</sentence>";
}

TEST_F(FailedCall, DuplicateAttributeIsReportedAndEndsWithStatusOne) {
  const std::string before = Bytes(WriteFile("memo.xml", {u"<Memo>", kDuplicateTitle, u"</Memo>"}));
  Start();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, u"Lintrow");
  EXPECT_NE(boxes_[0].text.find(u"457"), std::u16string::npos);
  EXPECT_NE(boxes_[0].text.find(ostrel::com::StandardDescription(457)), std::u16string::npos);
  EXPECT_EQ(endStatuses_, std::vector<int>{1});
  EXPECT_FALSE(window().isVisible());
  EXPECT_EQ(Bytes(PathOf("memo.xml")), before);
}

TEST_F(FailedCall, UnregisteredLibraryIsReportedWith429) {
  ostrel_test::WriteBrokenOstrelRegistry(folder_ / "registry");
  ::setenv("COM_REGISTRY", (folder_ / "registry").c_str(), 1);
  Start();
  ::unsetenv("COM_REGISTRY");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, u"Lintrow");
  EXPECT_NE(boxes_[0].text.find(u"429"), std::u16string::npos);
  EXPECT_EQ(endStatuses_, std::vector<int>{1});
}

// The memo file exists but may not be read: the report says reading failed.
TEST_F(FailedCall, UnreadableMemoFileIsReportedWith70AsARefusalToRead) {
  const std::filesystem::path writeOnly = "/sys/bus/pci/drivers_probe";
  if (!std::filesystem::exists(writeOnly)) GTEST_SKIP() << writeOnly << " is missing";
  std::filesystem::create_symlink(writeOnly, folder_ / "memo.xml");
  Start();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].text.find(u"70"), std::u16string::npos);
  EXPECT_NE(boxes_[0].text.find(u"読み込みできません。"), std::u16string::npos) << ostrel::com::ToUtf8(boxes_[0].text);
  EXPECT_EQ(endStatuses_, std::vector<int>{1});
}

TEST_F(FailedCall, TheProcessEndsWithStatusOne) {
  WriteFile("memo.xml", {u"<Memo>", kDuplicateTitle, u"</Memo>"});
  EXPECT_EXIT(RunAsTheProgram([](memoapp::FormWindow&) {}), ::testing::ExitedWithCode(1), "Lintrow: .*457");
}
