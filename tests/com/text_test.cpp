// Reassigning a BSTR: the text must come out whole whether its block is
// reused or replaced, also when the new text is part of the old one.
#include <gtest/gtest.h>

#include <ostrel/com/text.h>

namespace {

using ostrel::com::View;

TEST(SysReAllocString, ReusesTheBlockForATextThatFits) {
  BSTR text = SysAllocString(u"a longer text to begin with");
  const BSTR block = text;
  SysReAllocString(&text, u"short");
  EXPECT_EQ(text, block);
  EXPECT_EQ(View(text), u"short");
  EXPECT_EQ(SysStringLen(text), 5u);
  EXPECT_EQ(text[5], u'\0');
  SysFreeString(text);
}

TEST(SysReAllocString, GrowsIntoANewBlockAndStartsFromNull) {
  BSTR text = nullptr;
  SysReAllocString(&text, u"ab");
  EXPECT_EQ(View(text), u"ab");
  const std::u16string longer(5000, u'漢');
  SysReAllocString(&text, longer);
  EXPECT_EQ(View(text), longer);
  SysReAllocString(&text, u"");
  EXPECT_EQ(SysStringLen(text), 0u);
  EXPECT_EQ(text[0], u'\0');
  SysFreeString(text);
}

TEST(SysReAllocString, TakesAPartOfItsOwnText) {
  BSTR text = SysAllocString(u"<memo title=\"a\">");
  SysReAllocString(&text, View(text).substr(1, 4));
  EXPECT_EQ(View(text), u"memo");
  SysReAllocString(&text, View(text).substr(2));  // overlapping, moved forward
  EXPECT_EQ(View(text), u"mo");
  SysFreeString(text);
}

TEST(Bstr, AssignKeepsTheTextAfterAHandlerReplacedIt) {
  ostrel::com::Bstr argument(u"content from the reader");
  SysFreeString(*argument.Address());
  *argument.Address() = SysAllocString(u"x");  // what a handler may do to a by-reference text
  argument.Assign(u"next content, longer than the handler's");
  EXPECT_EQ(argument.view(), u"next content, longer than the handler's");
}

// A reader hands text after text through one Bstr, reusing its block for
// any that fits, its own text included.
TEST(Bstr, AssignWithinTheBlockKeepsTheTextWhole) {
  ostrel::com::Bstr text(u"<memo title=\"a\">");
  const BSTR block = text.get();
  text.Assign(text.view().substr(1, 4));
  EXPECT_EQ(text.view(), u"memo");
  text.Assign(text.view().substr(2));
  EXPECT_EQ(text.view(), u"mo");
  text.Assign(text.view().substr(0, 1));  // a prefix of itself, as entity decoding leaves it
  EXPECT_EQ(text.get(), block);
  EXPECT_EQ(text.view(), u"m");
  EXPECT_EQ(text.get()[1], u'\0');
  text.Assign(u"a text longer than the block ever was");
  EXPECT_EQ(text.view(), u"a text longer than the block ever was");
  ostrel::com::Bstr none;
  none.Assign(u"");
  EXPECT_EQ(none.view(), u"");
}

}  // namespace
