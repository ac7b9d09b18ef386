// Files written through ostrel-call: the same bytes as through the C++
// interface, and a writer's release closing its file.
#include <algorithm>
#include <cctype>

#include <ostrel/com/com_runtime.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/text.h>
#include "runtime/unicode.h"
#include "tests/tools/call_fixture.h"
#include <ostrel/ostrel.h>

namespace {

using call_test::CallTest;
using call_test::Lines;
using call_test::Outcome;
using call_test::SplitLines;

// The header's fifth line holds the time of writing, whose digits may differ
// between two files written a moment apart; every other byte must not.
Lines WithTimeMasked(const std::string& text) {
  Lines lines = SplitLines(text);
  if (lines.size() > 4) std::replace_if(lines[4].begin(), lines[4].end(), ::isdigit, '0');
  return lines;
}

void WriteThroughInterface(const std::filesystem::path& path) {
  auto writer = ostrel::com::CreateObject<_CXmlWriter>(ostrel::kCXmlWriterId);
  ostrel::com::Bstr name(ostrel::com::FromUtf8(path.string())), comment(u"メモ \"一覧\"");
  ostrel::com::Bstr start(u"<sentence Title=\"買い物\">"), content(u"牛乳 > パン & \"卵\" <"), end(u"</sentence>");
  ostrel::com::Bstr line(u"<Memo>"), last(u"</Memo>");
  int16_t none = 0, one = 1, three = 3;
  VARIANT_BOOL done;
  ostrel::com::Check(writer->XmlOpen(name.Address(), &done));
  ostrel::com::Check(writer->WriteComment(comment.Address(), &done));
  ostrel::com::Check(writer->WriteOneEllement(&none, line.Address(), &done));
  ostrel::com::Check(writer->WriteSetEllement(&one, start.Address(), content.Address(), end.Address(), &done));
  ostrel::com::Check(writer->WriteSetEllement(&three, start.Address(), content.Address(), end.Address(), &done));
  ostrel::com::Check(writer->WriteOneEllement(&none, last.Address(), &done));
  ostrel::com::Check(writer->XmlClose(&done));
}

TEST_F(CallTest, FileWrittenThroughTheToolEqualsTheOneTheInterfaceWrites) {
  WriteThroughInterface(folder_ / "expected.xml");
  // The same texts, some spelt as escapes, to reach the writer unchanged.
  const Outcome run = Call({
      R"(["new", "w", "Ostrel.CXmlWriter"])",
      R"(["call", "w", "XmlOpen", "actual.xml"])",
      R"(["call", "w", "WriteComment", "メモ \"\u4e00覧\""])",
      R"(["call", "w", "WriteOneEllement", {"i2": 0}, "<Memo>"])",
      R"(["call", "w", "WriteSetEllement", {"i2": 1}, "<sentence Title=\"買い物\">", "牛乳 > パン & \"卵\" <", "</sentence>"])",
      R"(["call", "w", "writesetellement", {"i4": 3}, "<sentence Title=\"\u8cb7い物\">", "牛乳 > パン & \"卵\" <", "</sentence>"])",
      R"(["call", "w", "WriteOneEllement", {"i2": 0}, "</Memo>"])",
      R"(["call", "w", "XmlClose"])",
  });
  EXPECT_EQ(run.status, 0) << run.errors;
  const std::string expected = FileText("expected.xml");
  ASSERT_EQ(SplitLines(expected).size(), 12u);
  EXPECT_EQ(WithTimeMasked(FileText("actual.xml")), WithTimeMasked(expected));
}

TEST_F(CallTest, ReleasingAWriterWithItsFileOpenClosesTheFileComplete) {
  const Outcome run = Call({
      R"(["new", "first", "Ostrel.CXmlWriter"])",
      R"(["new", "second", "Ostrel.CXmlWriter"])",
      R"(["call", "first", "XmlOpen", "first.xml"])",
      R"(["call", "first", "WriteOneEllement", {"i2": 0}, "<last/>"])",
      R"(["call", "second", "XmlOpen", "second.xml"])",
      R"(["release", "first"])",
      R"(["call", "second", "XmlOpen", "second.xml"])",
  });
  EXPECT_EQ(run.out[4], R"({"line":5,"result":false})") << "the file slot is still taken";
  EXPECT_EQ(run.out[6], R"({"line":7,"result":true})");
  const std::string text = FileText("first.xml");
  EXPECT_TRUE(text.ends_with("\r\n\r\n<last/>\r\n")) << text;
  EXPECT_EQ(run.errors, "Ostrel: second.xmlのオープンに失敗しました。\n");
}

TEST_F(CallTest, WriterStillHeldAtTheEndOfTheScriptClosesItsFile) {
  const Outcome run = Call({
      R"(["new", "w", "Ostrel.CXmlWriter"])",
      R"(["call", "w", "XmlOpen", "kept.xml"])",
      R"(["call", "w", "WriteSetEllement", {"i2": 2}, "<a>", "x<y", "</a>"])",
  });
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(FileText("kept.xml").ends_with("\r\n\t\t<a>x&lt;y</a>\r\n")) << FileText("kept.xml");
}

// The first example of docs/tools.md, with the output it shows.
TEST_F(CallTest, DocsExamplePrintsWhatTheDocsShow) {
  const Outcome run = Call({
      R"(["new", "w", "Ostrel.CXmlWriter"])",
      R"(["call", "w", "XmlOpen", "out.xml"])",
      R"(["call", "w", "WriteSetEllement", {"i2": 1}, "<a>", "x<y", "</a>"])",
      R"(["call", "w", "WriteComment", "note"])",
      R"(["release", "w"])",
  });
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, (Lines{R"({"line":1,"result":null})", R"({"line":2,"result":true})",
                            R"({"line":3,"result":true})", R"({"line":4,"result":true})",
                            R"({"line":5,"result":null})"}));
  EXPECT_TRUE(FileText("out.xml").ends_with("\r\n\t<a>x&lt;y</a>\r\n<!--  note  -->\r\n\r\n"));
}

}  // namespace
