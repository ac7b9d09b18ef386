// Collection: 1-based positions, keys without regard to case, and the errors
// that callers rely on.
#include <gtest/gtest.h>

#include "platform/collection.h"
#include "platform/error_info.h"

namespace {

using platform::Bstr;

VARIANT Text(BSTR text) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = text;
  return value;
}

VARIANT Position(int32_t position) {
  VARIANT value;
  value.vt = VT_I4;
  value.lVal = position;
  return value;
}

class CollectionTest : public ::testing::Test {
 protected:
  HRESULT Add(std::u16string_view item, const char16_t* key) {
    Bstr value(item);
    Bstr keyText(key ? key : u"");
    VARIANT keyArgument = key ? Text(keyText.get()) : VARIANT{};
    return list_->Add(value.Address(), &keyArgument);
  }
  std::u16string ItemAt(VARIANT index) {
    Bstr result;
    platform::Check(list_->Item(&index, result.Receive()));
    return result.str();
  }
  int ErrorOf(HRESULT status) {
    return Failed(status) ? platform::ErrorFromStatus(status).number() : 0;
  }

  platform::ComPtr<Collection> list_ = platform::NewCollection();
};

TEST_F(CollectionTest, KeysIgnoreCaseOfAsciiAndFullWidthLetters) {
  ASSERT_EQ(Add(u"t", u"Title"), S_OK);
  ASSERT_EQ(Add(u"w", u"ｗｉｄｅ"), S_OK);
  Bstr title(u"TITLE"), wide(u"ＷＩＤＥ");
  EXPECT_EQ(ItemAt(Text(title.get())), u"t");
  EXPECT_EQ(ItemAt(Text(wide.get())), u"w");
  EXPECT_EQ(ErrorOf(Add(u"again", u"tItLe")), 457);
  int32_t count = 0;
  list_->Count(&count);
  EXPECT_EQ(count, 2);  // the refused entry was not added
}

TEST_F(CollectionTest, MissingKeyAndBadPositionRaiseTheirErrors) {
  ASSERT_EQ(Add(u"a", nullptr), S_OK);
  Bstr absent(u"nope");
  VARIANT key = Text(absent.get()), zero = Position(0), two = Position(2);
  Bstr ignored;
  EXPECT_EQ(ErrorOf(list_->Item(&key, ignored.Receive())), 5);
  EXPECT_EQ(ErrorOf(list_->Item(&zero, ignored.Receive())), 9);
  EXPECT_EQ(ErrorOf(list_->Item(&two, ignored.Receive())), 9);
}

TEST_F(CollectionTest, RemovingTheFirstItemShiftsTheRestAndKeepsKeys) {
  ASSERT_EQ(Add(u"1", u"x"), S_OK);
  ASSERT_EQ(Add(u"2", nullptr), S_OK);
  ASSERT_EQ(Add(u"3", u"z"), S_OK);
  VARIANT first = Position(1);
  ASSERT_EQ(list_->Remove(&first), S_OK);
  EXPECT_EQ(ItemAt(Position(1)), u"2");
  int32_t position = 2;
  Bstr key;
  ASSERT_EQ(list_->Key(&position, key.Receive()), S_OK);
  EXPECT_EQ(key.view(), u"z");
  ASSERT_EQ(Add(u"again", u"X"), S_OK);  // the removed key is free again
}

}  // namespace
