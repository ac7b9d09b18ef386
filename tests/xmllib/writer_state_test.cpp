// The writer's states: what it answers, and which message it shows, before a
// file is open, while one is, and after it has been closed or released.
#include <gtest/gtest.h>

#include <string>

#include "runtime/file_slot.h"
#include "tests/xmllib/writer_fixture.h"

namespace ostrel_test {
namespace {

using WriterStates = WriterTest;

TEST_F(WriterStates, FreshWriterRefusesEveryWriteAndCloseWithTheMessage) {
  EXPECT_FALSE(writer.WriteComment(u"c"));
  EXPECT_FALSE(writer.WriteSetEllement(0, u"<a>", u"x", u"</a>"));
  EXPECT_FALSE(writer.WriteOneEllement(0, u"<a/>"));
  EXPECT_FALSE(writer.XmlClose());
  EXPECT_EQ(messageBoxes, std::vector<MessageBoxShown>(4, Box(kNotOpen)));
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
}

TEST_F(WriterStates, AfterCloseWritesAreRefusedAndAnotherFileCanBeOpened) {
  ASSERT_TRUE(writer.XmlOpen(PathOf("first.xml")));
  ASSERT_TRUE(writer.WriteOneEllement(0, u"<first/>"));
  ASSERT_TRUE(writer.XmlClose());
  EXPECT_FALSE(writer.WriteOneEllement(0, u"<late/>"));
  EXPECT_FALSE(writer.XmlClose());
  EXPECT_EQ(messageBoxes, std::vector<MessageBoxShown>(2, Box(kNotOpen)));

  ASSERT_TRUE(writer.XmlOpen(PathOf("second.xml")));
  ASSERT_TRUE(writer.WriteOneEllement(0, u"<second/>"));
  ASSERT_TRUE(writer.XmlClose());
  EXPECT_EQ(Body("first.xml"), "<first/>\r\n");
  EXPECT_EQ(Body("second.xml"), "<second/>\r\n");
}

TEST_F(WriterStates, OpenWhileOpenIsRefusedAndTheOpenFileGoesOn) {
  ASSERT_TRUE(writer.XmlOpen(PathOf("open.xml")));
  EXPECT_FALSE(writer.XmlOpen(u"other.xml"));
  EXPECT_EQ(messageBoxes, std::vector{Box("other.xmlはすでにオープンされています。")});
  EXPECT_TRUE(writer.WriteOneEllement(0, u"<still/>"));
  ASSERT_TRUE(writer.XmlClose());
  EXPECT_EQ(Body("open.xml"), "<still/>\r\n");
  EXPECT_FALSE(std::filesystem::exists("other.xml"));
}

TEST_F(WriterStates, OpenThatFailsShowsTheNameAndLeavesTheWriterClosed) {
  const std::u16string missingFolder = PathOf("no-such-folder/out.xml");
  EXPECT_FALSE(writer.XmlOpen(missingFolder));
  EXPECT_FALSE(writer.XmlOpen(u""));
  EXPECT_FALSE(writer.WriteOneEllement(0, u"<a/>"));
  EXPECT_EQ(messageBoxes, (std::vector{Box(Utf8(missingFolder) + "のオープンに失敗しました。"),
                                       Box("のオープンに失敗しました。"), Box(kNotOpen)}));
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
}

// A binding that turns the False into an exception names the cause from the
// error info; an open that succeeds or is refused for the writer's own state
// leaves none.
TEST_F(WriterStates, OpenThatFailsLeavesItsCauseInTheErrorInfo) {
  struct Case {
    std::u16string filename;
    int32_t number;  // 0: no error info
  };
  Writer other;
  const Case cases[] = {
      {PathOf("no-such-folder/out.xml"), ostrel::com::errnum::kPathNotFound},
      {u"", ostrel::com::errnum::kBadFileName},
      {PathOf(""), ostrel::com::errnum::kPathFileAccess},  // the folder itself
      {PathOf("out.xml"), 0},
      {PathOf("again.xml"), 0},                             // this writer's file is open
  };
  for (const Case& each : cases) {
    ostrel::com::TakeErrorInfo();
    writer.XmlOpen(each.filename);
    const auto error = ostrel::com::TakeErrorInfo();
    EXPECT_EQ(error ? error->number() : 0, each.number) << Utf8(each.filename);
  }
  ostrel::com::TakeErrorInfo();
  EXPECT_FALSE(other.XmlOpen(PathOf("other.xml")));  // the slot is the open writer's
  const auto busy = ostrel::com::TakeErrorInfo();
  ASSERT_TRUE(busy);
  EXPECT_EQ(busy->number(), ostrel::com::errnum::kFileAlreadyOpen);
  ASSERT_TRUE(writer.XmlClose());
}

TEST_F(WriterStates, EveryLineIsInTheFileWhenItsCallReturns) {
  ASSERT_TRUE(writer.XmlOpen(PathOf("out.xml")));
  ASSERT_TRUE(writer.WriteOneEllement(1, u"<a/>"));
  EXPECT_EQ(Body("out.xml"), "\t<a/>\r\n");
  ASSERT_TRUE(writer.WriteComment(u"c"));
  EXPECT_EQ(Body("out.xml"), "\t<a/>\r\n<!--  c  -->\r\n\r\n");
  ASSERT_TRUE(writer.XmlClose());
}

TEST_F(WriterStates, ReleasingTheWriterClosesItsFile) {
  ASSERT_TRUE(writer.XmlOpen(PathOf("out.xml")));
  ASSERT_TRUE(writer.WriteSetEllement(0, u"<a>", u"last", u"</a>"));
  writer.Release();
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
  EXPECT_EQ(Body("out.xml"), "<a>last</a>\r\n");
  EXPECT_TRUE(messageBoxes.empty());
}

}  // namespace
}  // namespace ostrel_test
