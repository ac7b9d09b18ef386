// Errors while writing fail the very call that meets them, with the error's
// number, and leave the writer open with every earlier line in its file.
#include <gtest/gtest.h>

#include <string>

#include "runtime/file_slot.h"
#include "tests/xmllib/writer_fixture.h"

namespace ostrel_test {
namespace {

using WriterFailures = WriterTest;

TEST_F(WriterFailures, FullDiskPassesInTheHeaderAndFailsEachLaterWrite) {
  ASSERT_TRUE(writer.XmlOpen(u"/dev/full"));
  EXPECT_EQ(ErrorOf([&] { writer.WriteOneEllement(0, u"<a/>"); }).number(), ostrel::com::errnum::kDiskFull);
  EXPECT_EQ(ErrorOf([&] { writer.WriteSetEllement(1, u"<a>", u"x", u"</a>"); }).number(),
            ostrel::com::errnum::kDiskFull);
  EXPECT_EQ(ErrorOf([&] { writer.WriteComment(u"c"); }).number(), ostrel::com::errnum::kDiskFull);
  EXPECT_FALSE(writer.XmlOpen(u"other.xml"));  // still open
  EXPECT_EQ(messageBoxes, std::vector{Box("other.xmlはすでにオープンされています。")});

  // Whether closing meets lines still held back or not, the writer and the
  // slot are free afterwards.
  ErrorOf([&] { writer.XmlClose(); });
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
  EXPECT_FALSE(writer.XmlClose());
}

class UnrepresentableCharacter : public WriterTest {
 protected:
  void SetUp() override {
    WriterTest::SetUp();
    ASSERT_TRUE(writer.XmlOpen(PathOf("out.xml")));
    ASSERT_TRUE(writer.WriteOneEllement(0, u"<before/>"));
  }
  // The call fails with 5, naming the character, and the writer goes on.
  template <class Call>
  void ExpectRefused(Call call) {
    const ostrel::com::RuntimeError error = ErrorOf(call);
    EXPECT_EQ(error.number(), ostrel::com::errnum::kInvalidArgument);
    EXPECT_NE(Utf8(error.description()).find("U+1F600"), std::string::npos) << error.what();
    EXPECT_EQ(Body("out.xml"), "<before/>\r\n");
  }
  void ExpectOnlyTheLinesAround() {
    ASSERT_TRUE(writer.WriteOneEllement(0, u"<after/>"));
    ASSERT_TRUE(writer.XmlClose());
    EXPECT_EQ(Body("out.xml"), "<before/>\r\n<after/>\r\n");
  }
};

TEST_F(UnrepresentableCharacter, InAnElementFailsAndWritesNothingOfTheLine) {
  ExpectRefused([&] { writer.WriteOneEllement(2, u"<a>😀</a>"); });
  ExpectRefused([&] { writer.WriteSetEllement(2, u"<a>", u"<😀>", u"</a>"); });
  ExpectRefused([&] { writer.WriteSetEllement(0, u"<a😀>", u"", u"</a>"); });
  ExpectOnlyTheLinesAround();
}

TEST_F(UnrepresentableCharacter, InACommentFailsAndWritesNeitherOfItsLines) {
  ExpectRefused([&] { writer.WriteComment(u"😀"); });
  ExpectOnlyTheLinesAround();
}

}  // namespace
}  // namespace ostrel_test
