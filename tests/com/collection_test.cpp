// Collection: 1-based positions, keys without regard to case, and the errors
// that callers rely on.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include <ostrel/com/collection.h>
#include <ostrel/com/dispatch.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/runtime_error.h>

namespace {

using ostrel::com::Bstr;

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
    ostrel::com::Check(list_->Item(&index, result.Receive()));
    return result.str();
  }
  // "1" under "x", "2" without a key, "3" under "z"; then the first removed.
  void AddThreeAndRemoveTheFirst() {
    ASSERT_EQ(Add(u"1", u"x"), S_OK);
    ASSERT_EQ(Add(u"2", nullptr), S_OK);
    ASSERT_EQ(Add(u"3", u"z"), S_OK);
    VARIANT first = Position(1);
    ASSERT_EQ(list_->Remove(&first), S_OK);
  }
  int ErrorOf(HRESULT status) {
    return Failed(status) ? ostrel::com::ErrorFromStatus(status).number() : 0;
  }

  ostrel::com::ComPtr<Collection> list_ = ostrel::com::NewCollection();
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
  AddThreeAndRemoveTheFirst();
  EXPECT_EQ(ItemAt(Position(1)), u"2");
  int32_t position = 2;
  Bstr key;
  ASSERT_EQ(list_->Key(&position, key.Receive()), S_OK);
  EXPECT_EQ(key.view(), u"z");
  ASSERT_EQ(Add(u"again", u"X"), S_OK);  // the removed key is free again
}

// A long list, as a tag with many attributes gives, finds its keys by an
// index: it must agree with the short list's scan in every respect.
TEST_F(CollectionTest, LongListsKeepKeysExactThroughAddsAndRemovals) {
  constexpr int kEntries = 40;
  for (int i = 0; i < kEntries; ++i) {
    const std::u16string key = u"key" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                               std::u16string(static_cast<size_t>(i / 26), u'x');
    ASSERT_EQ(Add(u"v" + key, i % 5 == 4 ? nullptr : key.c_str()), S_OK) << i;
  }
  EXPECT_EQ(ErrorOf(Add(u"again", u"KEYA")), 457);
  EXPECT_EQ(ItemAt(Text(Bstr(u"KeYc").get())), u"vkeyc");
  // Removing a keyed entry frees its key; entries without one leave keys alone.
  Bstr removedKey(u"keyb");
  VARIANT byKey = Text(removedKey.get());
  ASSERT_EQ(list_->Remove(&byKey), S_OK);
  EXPECT_EQ(ErrorOf(Add(u"back", u"KEYB")), 0);
  EXPECT_EQ(ErrorOf(Add(u"twice", u"keyb")), 457);
  EXPECT_EQ(ItemAt(Text(Bstr(u"keyB").get())), u"back");
  // Emptied, the list takes every key afresh.
  int32_t count = 0;
  ostrel::com::Check(list_->Count(&count));
  for (; count > 0; --count) {
    VARIANT last = Position(count);
    ASSERT_EQ(list_->Remove(&last), S_OK);
  }
  EXPECT_EQ(ErrorOf(Add(u"fresh", u"keya")), 0);
  EXPECT_EQ(ErrorOf(Add(u"fresh", u"keyz")), 0);
}

// A late-bound caller passes its own variables by reference.
// Entries removed keep their storage for later adds; nothing of them may show.
TEST_F(CollectionTest, EntriesAddedAfterRemovalsCarryNothingOfTheRemoved) {
  ASSERT_EQ(Add(u"a long first value", u"first"), S_OK);
  ASSERT_EQ(Add(u"second", u"second"), S_OK);
  ASSERT_EQ(Add(u"third", u"third"), S_OK);
  VARIANT middle = Position(2);
  ASSERT_EQ(list_->Remove(&middle), S_OK);
  for (int32_t left = 2; left > 0; --left) {
    VARIANT last = Position(left);
    ASSERT_EQ(list_->Remove(&last), S_OK);
  }
  ASSERT_EQ(Add(u"x", nullptr), S_OK);
  ASSERT_EQ(Add(u"y", u"second"), S_OK);
  int32_t count = 0;
  list_->Count(&count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(ItemAt(Position(1)), u"x");
  int32_t position = 1;
  Bstr key;
  ASSERT_EQ(list_->Key(&position, key.Receive()), S_OK);
  EXPECT_EQ(key.str(), u"");
  Bstr first(u"first"), second(u"SECOND");
  VARIANT removedKey = Text(first.get());
  Bstr unused;
  EXPECT_EQ(ErrorOf(list_->Item(&removedKey, unused.Receive())), 5);
  EXPECT_EQ(ItemAt(Text(second.get())), u"y");
}

// The maker's own way in keeps the list's rules: a key is refused again
// however many entries there are, and a cleared list keeps no key or text.
TEST(CollectionFillerTest, FillsUnderTheSameRulesAndClearsEverything) {
  ostrel::com::CollectionFiller* filler = nullptr;
  const ostrel::com::ComPtr<Collection> list = ostrel::com::NewCollection(filler);
  ASSERT_NE(filler, nullptr);
  for (int round = 0; round < 2; ++round) {
    for (char16_t letter = u'a'; letter <= u'z'; ++letter) filler->Add(std::u16string(3, letter), std::u16string(1, letter));
    try {
      filler->Add(u"again", u"Q");
      ADD_FAILURE() << "a key present in another case was taken";
    } catch (const ostrel::com::RuntimeError& error) {
      EXPECT_EQ(error.number(), 457);
    }
    int32_t count = 0;
    ostrel::com::Check(list->Count(&count));
    EXPECT_EQ(count, 26);
    VARIANT last = Position(26);
    Bstr item;
    ostrel::com::Check(list->Item(&last, item.Receive()));
    EXPECT_EQ(item.str(), u"zzz");
    filler->Clear();
    ostrel::com::Check(list->Count(&count));
    EXPECT_EQ(count, 0);
    Bstr key(u"q");
    VARIANT byKey = Text(key.get());
    EXPECT_TRUE(Failed(list->Item(&byKey, item.Receive())));
  }
}

// A list refilled for every tag reuses each entry's storage; texts that grow
// and shrink from one filling to the next must each come back whole.
TEST(CollectionFillerTest, RefilledEntriesHoldEachTextWhateverItsLength) {
  ostrel::com::CollectionFiller* filler = nullptr;
  const ostrel::com::ComPtr<Collection> list = ostrel::com::NewCollection(filler);
  std::span<const ostrel::com::EntryView> entries;
  for (const std::size_t length : {40, 3, 25, 0, 41, 7, 64, 1}) {
    const std::u16string value(length, static_cast<char16_t>(u'a' + length % 26));
    const std::u16string key(length % 9 + 1, u'k');
    filler->Add(value, key);
    filler->Add(key, value.empty() ? u"e" : value);
    ASSERT_TRUE(ostrel::com::ViewEntries(*list.get(), &entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].value, value);
    EXPECT_EQ(entries[0].key, key);
    EXPECT_EQ(entries[1].value, key);
    EXPECT_EQ(entries[1].key, value.empty() ? u"e" : value);
    filler->Clear();
  }
}

// A list of another maker, answering through a list of ours: only what the
// interface offers is known of it.
class ForeignList final : public ostrel::com::DispatchObject<ForeignList, Collection> {
 public:
  static const ostrel::com::DispatchTable<ForeignList>& Members() {
    static const ostrel::com::DispatchTable<ForeignList> table{};
    return table;
  }
  HRESULT Add(BSTR* item, VARIANT* key) override { return inner_->Add(item, key); }
  HRESULT Item(VARIANT* index, BSTR* result) override { return inner_->Item(index, result); }
  HRESULT Count(int32_t* result) override { return inner_->Count(result); }
  HRESULT Remove(VARIANT* index) override { return inner_->Remove(index); }
  HRESULT Key(int32_t* position, BSTR* result) override { return inner_->Key(position, result); }

 private:
  ostrel::com::ComPtr<Collection> inner_ = ostrel::com::NewCollection();
};

TEST_F(CollectionTest, EntriesAreViewedInPlaceOnlyInTheRuntimesOwnLists) {
  AddThreeAndRemoveTheFirst();
  std::span<const ostrel::com::EntryView> entries;
  ASSERT_TRUE(ostrel::com::ViewEntries(*list_.get(), &entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].key, u"");
  EXPECT_EQ(entries[0].value, u"2");
  EXPECT_EQ(entries[1].key, u"z");
  EXPECT_EQ(entries[1].value, u"3");

  const auto foreign = ostrel::com::ComPtr<ForeignList>::Attach(new ForeignList());
  EXPECT_FALSE(ostrel::com::ViewEntries(*foreign.get(), &entries));
  EXPECT_EQ(entries.size(), 2u);
}

TEST_F(CollectionTest, KeysAndPositionsMayComeByReference) {
  Bstr item(u"value");
  Bstr keyText(u"Name");
  VARIANT key;
  key.vt = VT_BYREF | VT_BSTR;
  key.pbstrVal = keyText.Address();
  ASSERT_EQ(list_->Add(item.Address(), &key), S_OK);
  EXPECT_EQ(ErrorOf(list_->Add(item.Address(), &key)), 457);
  EXPECT_EQ(ItemAt(key), u"value");
  int16_t one = 1;
  VARIANT position;
  position.vt = VT_BYREF | VT_I2;
  position.piVal = &one;
  EXPECT_EQ(ItemAt(position), u"value");
  ASSERT_EQ(list_->Remove(&position), S_OK);
  int32_t count = -1;
  ostrel::com::Check(list_->Count(&count));
  EXPECT_EQ(count, 0);
}

}  // namespace
