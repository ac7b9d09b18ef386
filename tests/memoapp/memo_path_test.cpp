// The memo file's path: the program's folder taken as it stands.
#include <gtest/gtest.h>

#include "memoapp/memo_path.h"

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
