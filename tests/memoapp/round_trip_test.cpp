// Round trips: a memo file written by WriteData reads back as the same memos
// in the same order, and WriteData refuses exactly the memos that would not.
//
// A refusal is judged by writing the refused memo's line anyway, straight
// through CXmlWriter, and reading it back: it must come back changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "memoapp/memo_line.h"
#include "memoapp/memo_store.h"
#include <ostrel/com/com_runtime.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/text.h>
#include "tests/memoapp/memo_file_fixture.h"
#include "tests/memoapp/memo_generator.h"
#include <ostrel/ostrel.h>

namespace {

using Memos = std::vector<CMemoData>;

class MemoRoundTrip : public MemoFileTest {
 protected:
  // 0 when MEMOS went through WriteData and read back unchanged; otherwise
  // the number of WriteData's error, with its description in DESCRIPTION.
  int32_t RoundTrip(const Memos& memos, std::u16string* description = nullptr) {
    Store(memos);
    const std::u16string path = PathOf("memo.xml");
    const int32_t error = WriteData(path, description);
    if (error != 0) return error;
    ModuleMemoData::InitMemoData();
    EXPECT_EQ(Read(path), 0);
    EXPECT_EQ(StoredMemos(), memos);
    return 0;
  }

  // Whether MEMO, its line written with no check at all, reads back as it was.
  bool ComesBackUnchecked(const CMemoData& memo) {
    const std::u16string path = PathOf("unchecked.xml");
    try {
      WriteUnchecked(path, memoapp::MemoLine(memo));
      ModuleMemoData::InitMemoData();
      Read(path);
    } catch (const ostrel::com::RuntimeError&) {
      return false;
    }
    return StoredMemos() == Memos{memo};
  }

 private:
  static void WriteLine(_CXmlWriter& writer, int16_t indentNo, std::u16string_view text) {
    ostrel::com::Bstr ellement(text);
    VARIANT_BOOL written = VARIANT_FALSE;
    ostrel::com::Check(writer.WriteOneEllement(&indentNo, ellement.Address(), &written));
  }

  static void WriteUnchecked(const std::u16string& path, const std::u16string& memoLine) {
    const auto writer = ostrel::com::CreateObject<_CXmlWriter>(ostrel::kCXmlWriterId);
    ostrel::com::Bstr filename(path);
    VARIANT_BOOL opened = VARIANT_FALSE;
    ostrel::com::Check(writer->XmlOpen(filename.Address(), &opened));
    ASSERT_EQ(opened, VARIANT_TRUE);
    WriteLine(*writer.get(), 0, u"<Memo>");
    WriteLine(*writer.get(), 1, memoLine);
    WriteLine(*writer.get(), 0, u"</Memo>");
  }
};

// The memo number in a refusal's description.
int RefusedMemo(const std::u16string& description) {
  const std::size_t at = description.find(u"メモ ");
  if (at == std::u16string::npos) return 0;
  const char16_t digit = description[at + 3];
  return digit >= u'1' && digit <= u'9' ? digit - u'0' : 0;
}

TEST_F(MemoRoundTrip, OrdinaryTablesComeBackUnchanged) {
  constexpr uint32_t kSeeds[] = {1, 20021, 826};
  constexpr int kTables = 300;
  int refused = 0;
  for (const uint32_t seed : kSeeds) {
    MemoGenerator generator(seed);
    for (int table = 0; table < kTables; ++table) {
      const Memos memos = generator.OrdinaryTable();
      std::u16string description;
      const int32_t error = RoundTrip(memos, &description);
      if (error == 0) continue;
      ++refused;
      ASSERT_EQ(error, 5) << "seed " << seed << ", table " << table;
      const int n = RefusedMemo(description);
      ASSERT_TRUE(n >= 1 && n <= static_cast<int>(memos.size())) << "no memo named";
      EXPECT_FALSE(ComesBackUnchecked(memos[n - 1])) << ::testing::PrintToString(memos[n - 1]);
    }
  }
  EXPECT_LT(refused, std::size(kSeeds) * kTables / 10) << "refusals should be rare for ordinary text";
}

TEST_F(MemoRoundTrip, AnyMemoIsRefusedExactlyWhenItWouldNotComeBack) {
  MemoGenerator generator(4711);
  int refused = 0;
  int carried = 0;
  for (int i = 0; i < 600; ++i) {
    const CMemoData memo = generator.AnyMemo();
    if (RoundTrip({memo}) == 0) {
      ++carried;
    } else {
      ++refused;
      EXPECT_FALSE(ComesBackUnchecked(memo)) << "refused, yet comes back: " << ::testing::PrintToString(memo);
    }
  }
  EXPECT_GT(refused, 100);
  EXPECT_GT(carried, 100);
}

struct EdgeMemo {
  const char* name;
  CMemoData memo;
  bool carried;
};

void PrintTo(const EdgeMemo& edge, std::ostream* out) { *out << edge.name; }

class EdgeMemoRoundTrip : public MemoRoundTrip, public ::testing::WithParamInterface<EdgeMemo> {};

TEST_P(EdgeMemoRoundTrip, IsWrittenExactlyWhenItComesBack) {
  const EdgeMemo& edge = GetParam();
  if (edge.carried) {
    EXPECT_EQ(RoundTrip({edge.memo}), 0);
  } else {
    std::u16string description;
    EXPECT_EQ(RoundTrip({{u"a", u"b"}, edge.memo}, &description), 5);
    EXPECT_EQ(RefusedMemo(description), 2);
    EXPECT_FALSE(ComesBackUnchecked(edge.memo));
  }
}

std::u16string Repeated(std::size_t count, char16_t c) { return std::u16string(count, c); }

// Within the reader's 16-bit positions: the start tag's text up to 32,765
// characters, the body up to 32,766 as written.
constexpr std::size_t kLongestTitle = 32765 - 17;
constexpr std::size_t kLongestBody = 32766;

INSTANTIATE_TEST_SUITE_P(
    Carried, EdgeMemoRoundTrip,
    ::testing::Values(
        EdgeMemo{"BlanksInTitle", {u"  two  words\t", u"b"}, true},
        EdgeMemo{"QuotedWordsInTitle", {u"say \"hi\" now", u"b"}, true},
        EdgeMemo{"OddQuotationMarksInTitle", {u"x\"", u""}, true},
        EdgeMemo{"OtherMarksInTitle", {u"a<b & c='d' / e=f", u"b"}, true},
        EdgeMemo{"ReferencesInTitle", {u"&lt;&gt;&quot;", u"b"}, true},
        EdgeMemo{"OneLineBodyWithLeadingBlanks", {u"t", u"   \tindented"}, true},
        EdgeMemo{"BlanksOnlyBody", {u"t", u"  "}, true},
        EdgeMemo{"TabsInsideBodyLines", {u"t", u"a\tb\r\nc\td  "}, true},
        EdgeMemo{"EmptyLinesInsideBody", {u"t", u"a\r\n\r\n\r\nb"}, true},
        EdgeMemo{"NulAndControlsInsideLines", {std::u16string(u"a\0b\x01", 4), std::u16string(u"c\0d\r\ne\x1f", 7)}, true},
        EdgeMemo{"AmpersandsInBody", {u"t", u"&amp;lt; &&gt"}, true},
        EdgeMemo{"MarksAtBodyEdges", {u"t", u"<!x->\r\n<?y?>"}, true},
        EdgeMemo{"SharedFormsThatComeBack", {u"～－∥￢", u"①Ⅰⅰ髙"}, true},
        EdgeMemo{"LongestTitle", {Repeated(kLongestTitle, u't'), u"b"}, true},
        EdgeMemo{"LongestBody", {u"t", Repeated(kLongestBody - 4, u'b') + u">"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Refused, EdgeMemoRoundTrip,
    ::testing::Values(
        EdgeMemo{"GreaterThanInTitle", {u"a>b", u"b"}, false},
        EdgeMemo{"BlankOutsideQuotesInTitle", {u"a\"b c", u"b"}, false},
        EdgeMemo{"LineBreakInTitle", {u"a\r\nb", u"b"}, false},
        EdgeMemo{"GreaterThanReferenceInBody", {u"t", u"a &gt; b"}, false},
        EdgeMemo{"LessThanReferenceInBody", {u"t", u"&lt;"}, false},
        EdgeMemo{"QuotationReferenceInBody", {u"t", u"&quot;"}, false},
        EdgeMemo{"LoneLineFeedInBody", {u"t", u"a\nb"}, false},
        EdgeMemo{"LoneCarriageReturnInBody", {u"t", u"a\rb"}, false},
        EdgeMemo{"BodyStartingWithLineBreak", {u"t", u"\r\nb"}, false},
        EdgeMemo{"BodyEndingWithLineBreak", {u"t", u"b\r\n"}, false},
        EdgeMemo{"BlankAfterLineBreak", {u"t", u"a\r\n b"}, false},
        EdgeMemo{"TabAfterLineBreak", {u"t", u"a\r\n\tb"}, false},
        EdgeMemo{"NulAfterLineBreak", {u"t", std::u16string(u"a\r\n\0b", 5)}, false},
        EdgeMemo{"LeadingBlankOfManyLines", {u"t", u" a\r\nb"}, false},
        EdgeMemo{"WaveDashInTitle", {u"〜", u"b"}, false},
        EdgeMemo{"YenSignInBody", {u"t", u"¥100"}, false},
        EdgeMemo{"NoShiftJisFormInBody", {u"t", u"€"}, false},
        EdgeMemo{"OutsideTheBasicPlane", {u"\U0001F600", u"b"}, false},
        EdgeMemo{"TitleTooLong", {Repeated(kLongestTitle + 1, u't'), u"b"}, false},
        EdgeMemo{"TitleTooLongForEmptyBody", {Repeated(kLongestTitle, u't'), u""}, false},
        EdgeMemo{"BodyTooLong", {u"t", Repeated(kLongestBody - 3, u'b') + u">"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
