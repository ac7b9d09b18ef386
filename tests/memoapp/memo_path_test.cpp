// The memo file's path: the program's folder taken as it stands.
#include <gtest/gtest.h>

#include "memoapp/memo_path.h"

#include <filesystem>
#include <optional>
#include <string>

#include "runtime/unicode.h"

namespace {

TEST(MemoFilePath, FollowsTheFolderWithSlashMemoXml) {
  EXPECT_EQ(MemoFilePath(u"/opt/lintrow"), u"/opt/lintrow/memo.xml");
  EXPECT_EQ(MemoFilePath(u"/home/利用者/メモ"), u"/home/利用者/メモ/memo.xml");
}

TEST(MemoFilePath, NeitherAddsNorRemovesSeparators) {
  EXPECT_EQ(MemoFilePath(u"/opt/lintrow/"), u"/opt/lintrow//memo.xml");
  EXPECT_EQ(MemoFilePath(u""), u"/memo.xml");
}

}  // namespace

namespace {

// The program may live in a folder whose name is not UTF-8; the memo file's
// name must still come to exactly that folder's bytes.
TEST(ProgramFolder, KeepsTheBytesOfTheFolderName) {
  const std::u16string folder = FolderOf("/opt/caf\xE9/lintrow");
  EXPECT_EQ(folder, std::u16string(u"/opt/caf\xDCE9"));
  EXPECT_EQ(ostrel::com::ToFileName(MemoFilePath(folder)), "/opt/caf\xE9/memo.xml");
  EXPECT_EQ(FolderOf("lintrow"), u"");
}

TEST(ProgramFolder, RunningProgramFolderHoldsThisProgram) {
  const std::optional<std::string> folder = ostrel::com::ToFileName(RunningProgramFolder());
  ASSERT_TRUE(folder.has_value());
  EXPECT_TRUE(std::filesystem::exists(*folder + "/memoapp_tests"));
}

}  // namespace
