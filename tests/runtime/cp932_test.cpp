// CP932 through the file slot: the mappings that differ from plain Shift-JIS,
// the extension rows, what becomes of bytes that are not CP932, and the
// characters that cannot be written.
#include <gtest/gtest.h>

#include "tests/scratch_folder.h"

namespace {

namespace slot = ostrel::com::file_slot;
using Lines = std::vector<std::u16string>;

using Cp932Reading = ScratchFolder;
using Cp932Writing = ScratchFolder;

TEST_F(Cp932Reading, BackslashTildeAndFullWidthTildeReadAsCp932Has) {
  EXPECT_EQ(ReadLines(WriteBytes("marks.txt", "\x5C\x7E\x81\x60")), Lines{u"\\~\uFF5E"});
}

TEST_F(Cp932Reading, NecAndIbmExtensionRowsDecode) {
  // ①, ⅰ from the IBM rows, 纊 from the NEC-selected IBM rows, half-width ｱ.
  EXPECT_EQ(ReadLines(WriteBytes("rows.txt", "\x87\x40\xFA\x40\xED\x40\xB1")), Lines{u"①ⅰ纊ｱ"});
}

TEST_F(Cp932Reading, BytesThatAreNotCp932BecomeReplacementsAndReadingGoesOn) {
  // 0x80, 0xA0 and 0xFD to 0xFF are never CP932; 0x81 0x20 is a lead byte
  // whose trail is missing, and the space after it is still read.
  const auto name = WriteBytes("bad.txt", "a\x80" "b\xA0\xFD\xFF" "c\r\n\x81 x\r\nok");
  EXPECT_EQ(ReadLines(name), (Lines{u"a\uFFFDb\uFFFD\uFFFD\uFFFDc", u"\uFFFD x", u"ok"}));
}

TEST_F(Cp932Reading, LeadByteBeforeALineEndDoesNotSwallowIt) {
  EXPECT_EQ(ReadLines(WriteBytes("lead.txt", "\x82\r\nz")), (Lines{u"\uFFFD", u"z"}));
}

TEST_F(Cp932Reading, LeadByteThatEndsTheFileBecomesAReplacement) {
  EXPECT_EQ(ReadLines(WriteBytes("cut.txt", "ab\x82")), Lines{u"ab\uFFFD"});
  EXPECT_EQ(ReadLines(WriteBytes("lone.txt", "\x82")), Lines{u"\uFFFD"});
}

TEST_F(Cp932Writing, WritesTheExactBytes) {
  const auto name = OpenOutput("out.txt");
  slot::WriteLine(u"\\~\uFF5E①ⅰあｱ");
  EXPECT_EQ(BytesAfterClose(name), "\x5C\x7E\x81\x60\x87\x40\xFA\x40\x82\xA0\xB1\r\n");
}

TEST_F(Cp932Writing, UnrepresentableCharacterIsNamedAndNothingOfItsTextIsWritten) {
  const auto name = OpenOutput("out.txt");
  slot::WriteLine(u"before");
  const struct {
    std::u16string text;
    std::u16string named;
  } refused[] = {{u"ab\U0001F600", u"U+1F600"}, {u"x\xD800y", u"U+D800"}, {u"end\xD83D", u"U+D83D"}};
  for (const auto& [text, named] : refused) {
    try {
      slot::WriteLine(text);
      ADD_FAILURE() << "no error for " << ostrel::com::ToUtf8(named);
    } catch (const ostrel::com::RuntimeError& error) {
      EXPECT_EQ(error.number(), 5);
      EXPECT_NE(error.description().find(named), std::u16string::npos) << error.what();
    }
  }
  ASSERT_TRUE(slot::IsOpen());
  slot::WriteLine(u"after");
  EXPECT_EQ(BytesAfterClose(name), "before\r\nafter\r\n");
}

}  // namespace
