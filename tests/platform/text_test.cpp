// Reassigning a BSTR: the text must come out whole whether its block is
// reused or replaced, also when the new text is part of the old one.
#include <gtest/gtest.h>

#include "platform/text.h"

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

}  // namespace
