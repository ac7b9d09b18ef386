// setKeyList: how the text of a tag splits into its name and attributes, and
// what it leaves in its by-reference arguments.
#include <string>

#include "tests/xmllib/xml_test_support.h"
#include "xmllib/reader.h"

namespace {

using ostrel_test::RecordingHandler;
using ostrel_test::Utf8;
using namespace std::string_view_literals;

struct Split {
  int32_t error;  // 0 when the call succeeded
  bool hasAttributes;
  std::string strbuf;
  std::string tagname;
  std::string keylist;  // "; key=value" per entry
  bool operator==(const Split&) const = default;
};

void PrintTo(const Split& split, std::ostream* out) {
  *out << "{error " << split.error << ", " << (split.hasAttributes ? "true" : "false") << ", strbuf \"" << split.strbuf
       << "\", tagname \"" << split.tagname << "\", keylist \"" << split.keylist << "\"}";
}

class SetKeyListTest : public ::testing::Test {
 protected:
  Split SplitTag(std::u16string_view text, Collection* keylist) {
    ostrel::com::Bstr strbuf(text);
    ostrel::com::Bstr tagname(u"before");
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT status = reader->setKeyList(strbuf.Address(), tagname.Address(), &keylist, &result);
    Split split{0, result == VARIANT_TRUE, Utf8(strbuf.view()), Utf8(tagname.view()), ""};
    if (Failed(status)) split.error = ostrel::com::ErrorFromStatus(status).number();
    if (keylist) split.keylist = RecordingHandler::ListText(*keylist);
    return split;
  }
  Split SplitTag(std::u16string_view text) { return SplitTag(text, list.get()); }

  ostrel::com::ComPtr<ostrel::CXmlReader> reader = ostrel::com::ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  ostrel::com::ComPtr<Collection> list = ostrel::com::NewCollection();
};

// --- Name and attributes ---

struct SplitCase {
  const char* name;
  std::u16string_view text;
  Split expected;
};

void PrintTo(const SplitCase& splitCase, std::ostream* out) { *out << splitCase.name; }

const SplitCase kSplitCases[] = {
    {"AttributesAreFiledInOrderAndTheLastItemStays",
     u"a x=\"1\" y='2' z=3",
     {0, true, "z=3", "a", "; x=1; y='2'; z=3"}},
    {"TagWithoutAttributesIsAllName", u" \t\0a"sv, {0, false, "a", "a", ""}},
    {"TabSeparatesLikeASpace", u"a\tx=\"1\"\t y=2", {0, true, "y=2", "a", "; x=1; y=2"}},
    {"EmptyQuotedValueIsEmpty", u"a x=\"\"", {0, true, "x=\"\"", "a", "; x="}},
    {"MissingValueIsEmpty", u"a x=", {0, true, "x=", "a", "; x="}},
    {"ItemWithoutEqualsSignAddsNothing", u"a x", {0, true, "x", "a", ""}},
    {"DoubleQuotesKeepBlanksInTheValue", u"a x=\"1 2\"\ty=\"\t\"", {0, true, "y=\"\t\"", "a", "; x=1 2; y=\t"}},
    {"SingleQuotesProtectNothing", u"a y='b c'", {0, true, "c'", "a", "; y='b"}},
    {"OnlyTheFirstEqualsSignSeparates", u"t a=b=c", {0, true, "a=b=c", "t", "; a=b=c"}},
    {"UnclosedQuoteRunsToTheEndAndStaysInTheValue", u"t x=\"1 y=2", {0, true, "x=\"1 y=2", "t", "; x=\"1 y=2"}},
    {"SpacesAroundEqualsLeaveAnEmptyEntry", u"a x = \"1\"", {0, true, "\"1\"", "a", "; ="}},
    {"ValuesAreNotDecoded", u"a x=\"&lt;&quot;\"", {0, true, "x=\"&lt;&quot;\"", "a", "; x=&lt;&quot;"}},
};

class SplitCaseTest : public SetKeyListTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitCaseTest, GivesNameAttributesAndRest) { EXPECT_EQ(SplitTag(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Tags, SplitCaseTest, ::testing::ValuesIn(kSplitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

// --- Errors ---

TEST_F(SetKeyListTest, RepeatedNameFailsAndShowsHowFarTheSplitGot) {
  EXPECT_EQ(SplitTag(u"a x=\"1\" X=\"2\""), (Split{ostrel::com::errnum::kDuplicateKey, false, "X=\"2\"", "a", "; x=1"}));
}

TEST_F(SetKeyListTest, SecondEmptyNameIsARepeatedName) {
  EXPECT_EQ(SplitTag(u"a = ="), (Split{ostrel::com::errnum::kDuplicateKey, false, "=", "a", "; ="}));
}

TEST_F(SetKeyListTest, TextUpToTheLastPositionIsSplit) {
  const std::u16string name(32767, u'n');
  EXPECT_EQ(SplitTag(name), (Split{0, false, Utf8(name), Utf8(name), ""}));
}

TEST_F(SetKeyListTest, TextBeyondTheLastPositionOverflows) {
  EXPECT_EQ(SplitTag(std::u16string(32768, u'n')).error, ostrel::com::errnum::kOverflow);
  EXPECT_EQ(SplitTag(std::u16string(32767, u' ') + u"a").error, ostrel::com::errnum::kOverflow);
}

TEST_F(SetKeyListTest, MissingListFailsOnlyWhenAnAttributeNeedsIt) {
  EXPECT_EQ(SplitTag(u"a", nullptr), (Split{0, false, "a", "a", ""}));
  EXPECT_EQ(SplitTag(u"a x=1", nullptr).error, ostrel::com::errnum::kObjectNotSet);
}

}  // namespace
