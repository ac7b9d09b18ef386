// The word-at-a-time searches must find exactly what a plain scan finds,
// wherever the unit falls in a word and whatever the other units hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "runtime/unit_search.h"

namespace {

constexpr size_t kNone = std::u16string_view::npos;

size_t PlainFind(std::u16string_view text, std::u16string_view mark, size_t from) {
  return from > text.size() ? kNone : text.find(mark, from);
}

// Units near the borders that a borrow or a sign bit could confuse.
std::u16string RandomText(std::mt19937& random, size_t size) {
  static constexpr char16_t kUnits[] = {0x0000, 0x0001, u'<', u'>', u'\r', u'\n', u'-',  0x3C3C,
                                        0x8000, 0x803C, 0xFFFF, 0x3D,  0x0D0A, u'x',  0x7FFF};
  std::uniform_int_distribution<size_t> pick(0, std::size(kUnits) - 1);
  std::u16string text(size, u' ');
  for (char16_t& unit : text) unit = kUnits[pick(random)];
  return text;
}

TEST(UnitSearch, AgreesWithAPlainScanEverywhere) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    const std::u16string text = RandomText(random, random() % 70);
    const size_t from = random() % (text.size() + 2);
    for (char16_t unit : {u'<', u'\0', u'\r', char16_t{0x8000}, char16_t{0xFFFF}}) {
      ASSERT_EQ(ostrel::com::FindUnit(text, unit, from), PlainFind(text, std::u16string_view(&unit, 1), from));
    }
    const size_t any =
        std::min({PlainFind(text, u"\r", from), PlainFind(text, u"<", from), PlainFind(text, u"\n", from)});
    ASSERT_EQ(ostrel::com::FindAnyUnit(text, u'\r', u'<', u'\n', from), any);
    for (std::u16string_view mark : {u"->", u"?>", u"<", u"<<<"}) {
      ASSERT_EQ(ostrel::com::FindMark(text, mark, from), PlainFind(text, mark, from));
    }
  }
}

TEST(UnitSearch, FindsInLongTextsPastManyWords) {
  std::u16string text(1000, u'a');
  text[997] = u'\n';
  EXPECT_EQ(ostrel::com::FindUnit(text, u'\n'), 997u);
  EXPECT_EQ(ostrel::com::FindAnyUnit(text, u'\r', u'<', u'\n', 998), kNone);
  text[13] = u'\r';
  EXPECT_EQ(ostrel::com::FindAnyUnit(text, u'\r', u'<', u'\n'), 13u);
}

TEST(UnitSearch, ComparesWholeUnitsNotBytes) {
  const std::u16string_view a = u"\u3C00x", b = u"\u003Cx";
  EXPECT_FALSE(ostrel::com::SameUnits(a, b));
  EXPECT_TRUE(ostrel::com::SameUnits(a, std::u16string(a)));
  EXPECT_FALSE(ostrel::com::SameUnits(u"ab", u"abc"));
  EXPECT_TRUE(ostrel::com::SameUnits({}, u""));
  EXPECT_TRUE(ostrel::com::StartsWithUnits(u"</memo>", u"</"));
  EXPECT_FALSE(ostrel::com::StartsWithUnits(u"<", u"</"));
  EXPECT_TRUE(ostrel::com::StartsWithUnits(u"<", {}));
}

// Units are compared a word at a time: a difference in any place, in either
// byte of a unit, must show, whatever the length.
TEST(UnitSearch, FindsADifferenceAtEveryPlaceOfEveryLength) {
  for (size_t length = 0; length <= 13; ++length) {
    const std::u16string text(length, u'\u3042');
    EXPECT_TRUE(ostrel::com::SameUnits(text, std::u16string(text)));
    for (size_t at = 0; at < length; ++at) {
      for (char16_t changed : {char16_t{0x3043}, char16_t{0x3142}}) {
        std::u16string other = text;
        other[at] = changed;
        EXPECT_FALSE(ostrel::com::SameUnits(text, other)) << length << " " << at;
      }
    }
  }
}

}  // namespace
