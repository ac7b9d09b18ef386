// <ostrel/ostrel.hpp> through the registered library: its events agree with
// ostrel-dump's callbacks file for file, it writes what it is given under
// the name it is given, and each failure becomes the ostrel::Error it should.
#include <ostrel/ostrel.hpp>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/xmllib/xml_test_support.h"
#include "tools/json.h"

namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

Lines LinesOf(const fs::path& path) {
  Lines lines;
  std::ifstream stream(path, std::ios::binary);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// ostrel-dump's line for EVENT.
std::string DumpLine(const ostrel::Event& e) {
  using tools::JsonString;
  switch (e.kind()) {
    case ostrel::EventKind::Start: {
      std::string pairs;
      for (const auto& [key, value] : e.attributes()) {
        pairs += (pairs.empty() ? "[" : ",[") + JsonString(key) + "," + JsonString(value) + "]";
      }
      return R"({"call":"StartElement","tagname":)" + JsonString(e.name()) + R"(,"parmList":[)" + pairs + "]}";
    }
    case ostrel::EventKind::Content:
      return R"({"call":"contentData","tagname":)" + JsonString(e.name()) + R"(,"contentData":)" +
             JsonString(e.text()) + "}";
    case ostrel::EventKind::End: return R"({"call":"EndElement","tagname":)" + JsonString(e.name()) + "}";
    case ostrel::EventKind::Fault:
      return R"({"call":"ErrElement","ln":)" + std::to_string(e.token_count()) + R"(,"msg":)" +
             JsonString(e.message()) + R"(,"content":)" + JsonString(e.text()) + "}";
  }
  return "unknown event";
}

// What ostrel-dump prints for PATH, made from ostrel::read's events.
Lines DumpThroughRange(const fs::path& path) {
  Lines lines;
  try {
    for (const ostrel::Event& e : ostrel::read(path)) lines.push_back(DumpLine(e));
    lines.push_back(R"({"call":"SetData","result":0})");
  } catch (const ostrel::Error& error) {
    lines.push_back(R"({"call":"SetData","error":)" + std::to_string(error.number()) + R"(,"description":)" +
                    tools::JsonString(error.description()) + "}");
  }
  return lines;
}

class CppLayerTest : public ostrel_test::XmlFileTest {
 protected:
  Lines Dump(const fs::path& path) {
    const fs::path out = folder_ / "dump.txt";
    const std::string command =
        std::string("'") + OSTREL_BIN_DIR + "/ostrel-dump' '" + path.string() + "' >'" + out.string() + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << command;
    return LinesOf(out);
  }
  fs::path File(const std::string& name, const std::string& bytes) {
    WriteBytes(name, bytes);
    return folder_ / name;
  }
};

TEST_F(CppLayerTest, EventsAgreeWithOstrelDumpOverTheCorpusAndTheSample) {
  std::vector<fs::path> files{fs::path(OSTREL_SOURCE_DIR) / "memoapp/sample/memo.xml"};
  for (const auto& entry : fs::directory_iterator(fs::path(OSTREL_SOURCE_DIR) / "fuzz/corpus/read_file")) {
    files.push_back(entry.path());
  }
  ASSERT_GT(files.size(), 5u);
  for (const fs::path& file : files) EXPECT_EQ(DumpThroughRange(file), Dump(file)) << file;
}

TEST_F(CppLayerTest, WriterWritesWhatTheRangeReadsBack) {
  const fs::path path = folder_ / "memo.xml";
  {
    ostrel::Writer w(path);
    w.comment("my memos");
    w.line(0, "<Memo>");
    w.element(1, "<sentence Title=\"todo\">", u"milk > bread", "</sentence>");
    w.line(0, u"</Memo>");
  }  // closed here
  Lines events;
  for (const ostrel::Event& e : ostrel::read(path)) events.push_back(DumpLine(e));
  EXPECT_EQ(events, (Lines{
                        R"({"call":"StartElement","tagname":"Memo","parmList":[]})",
                        R"({"call":"StartElement","tagname":"sentence","parmList":[["Title","todo"]]})",
                        R"({"call":"contentData","tagname":"sentence","contentData":"milk > bread"})",
                        R"({"call":"EndElement","tagname":"sentence"})",
                        R"({"call":"EndElement","tagname":"Memo"})",
                        R"({"call":"contentData","tagname":"","contentData":""})",
                    }));
}

// The name's bytes are the file's, also where they are not UTF-8.
TEST_F(CppLayerTest, FileNamesKeepTheirBytes) {
  for (const std::string name : {"メモ.xml", "memo-\xff\xfe.xml"}) {
    const fs::path path = folder_ / name;
    ostrel::Writer(path).line(0, "<a/>");
    EXPECT_TRUE(fs::exists(path)) << name;
    std::size_t count = 0;
    for (const ostrel::Event& e : ostrel::read(path)) count += e.kind() == ostrel::EventKind::End;
    EXPECT_EQ(count, 1u) << name;
  }
}

struct MemberHandler {
  void start(std::u16string_view name, const ostrel::Attributes& attributes) {
    calls.push_back("start " + ostrel::utf8(name) + " " + std::to_string(attributes.size()));
  }
  void content(std::string_view name, std::string_view text) { calls.push_back("content " + std::string(name) + " " + std::string(text)); }
  void fault(const ostrel::Event& e) { calls.push_back("fault " + std::to_string(e.token_count()) + " line " + std::to_string(e.line().value_or(0))); }
  // No end(): a handler takes only what it wants.
  Lines calls;
};

TEST_F(CppLayerTest, HandlerMembersTakeUtf16OrUtf8Views) {
  MemberHandler handler;
  ostrel::read(File("a.xml", "<a x=\"1\">\x96\x7B</a>\r\n<b>\r\n</c>"), handler);  // 本 in CP932
  EXPECT_EQ(handler.calls, (Lines{"start a 1", "content a 本", "start b 0", "fault 5 line 3"}));
}

TEST_F(CppLayerTest, HandlerCanBeOneLambdaForEveryEvent) {
  int ends = 0;
  ostrel::read(File("a.xml", "<a><b/></a>"), [&](const ostrel::Event& e) { ends += e.kind() == ostrel::EventKind::End; });
  EXPECT_EQ(ends, 2);
}

TEST_F(CppLayerTest, AttributesKeepTagOrderAndAreFoundWithoutRegardToCase) {
  std::vector<std::u16string> keys;
  std::optional<std::u16string> title, missing;
  ostrel::read(File("a.xml", "<a Title=\"t\" b=\"2\" \x82\x9A=\"3\"/>"), [&](const ostrel::Event& e) {
    if (e.kind() != ostrel::EventKind::Start) return;
    for (const auto& [key, value] : e.attributes()) keys.emplace_back(key);
    title = e.attributes().find("TITLE");
    missing = e.attributes().find(u"c");
    EXPECT_EQ(e.attributes().find(u"Ｚ"), u"3");
  });
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"Title", u"b", u"ｚ"}));
  EXPECT_EQ(title, u"t");
  EXPECT_EQ(missing, std::nullopt);
}

// The range holds the file slot while the file has more to read, and lets
// go at close() or its end.
TEST_F(CppLayerTest, OpenRangeHoldsTheFileSlot) {
  std::string memos;
  for (int k = 0; k < 5000; ++k) memos += "<m>" + std::to_string(k) + "</m>\r\n";
  const fs::path path = File("a.xml", memos);
  {
    ostrel::Events events = ostrel::read(path);
    EXPECT_THROW(ostrel::Writer(folder_ / "b.xml"), ostrel::Error);
  }
  {
    ostrel::Events events = ostrel::read(path);
    events.close();
    EXPECT_NO_THROW(ostrel::Writer(folder_ / "b.xml"));
  }
  EXPECT_NO_THROW(ostrel::Writer(folder_ / "b.xml"));
}

// A host sees the component's own message boxes; the layer's calls show none.
TEST_F(CppLayerTest, MessageHandlerReceivesTheComponentsBoxes) {
  Lines seen;
  ostrel::MessageHandler before = ostrel::set_message_handler(
      [&](std::u16string_view text, std::u16string_view caption) { seen.push_back(ostrel::utf8(caption) + ": " + ostrel::utf8(text)); });
  auto reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
  auto handler = ostrel::com::CreateObject<_IXmlHandler>(ostrel::kIXmlHandlerId);
  ostrel::com::Bstr empty;
  int16_t result = 0;
  EXPECT_EQ(reader->SetData(empty.Address(), handler.Address(), &result), S_OK);
  EXPECT_THROW(ostrel::read(""), ostrel::Error);
  EXPECT_THROW(ostrel::Writer(folder_ / "no" / "a.xml"), ostrel::Error);
  ostrel::set_message_handler(std::move(before));
  EXPECT_EQ(result, -1);
  EXPECT_EQ(seen, Lines{"Ostrel: XMLファイルが指定されていません。"});
}

struct ErrorCase {
  const char* name;
  std::function<void(const fs::path& folder)> action;
  int32_t number;
};

class ErrorMappingTest : public CppLayerTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorMappingTest, ThrowsOstrelErrorWithItsNumberAndNoMessageBox) {
  try {
    GetParam().action(folder_);
    ADD_FAILURE() << "no error";
  } catch (const ostrel::Error& error) {
    EXPECT_EQ(error.number(), GetParam().number) << error.what();
    EXPECT_FALSE(error.description().empty());
    EXPECT_TRUE(std::string(error.what()).starts_with(std::to_string(GetParam().number) + ": "));
  }
  EXPECT_TRUE(messageBoxes.empty());
}

void Drain(const fs::path& path) {
  for (const ostrel::Event& e : ostrel::read(path)) (void)e;
}

void Put(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorMappingTest,
    ::testing::Values(
        ErrorCase{"ReadingAMissingFile", [](const fs::path& f) { Drain(f / "missing.xml"); }, 53},
        ErrorCase{"ReadingAFolder", [](const fs::path& f) { Drain(f); }, 53},
        ErrorCase{"ReadingAnEmptyName", [](const fs::path&) { Drain(""); }, 52},
        ErrorCase{"RepeatedAttribute",
                  [](const fs::path& f) {
                    Put(f / "a.xml", "<a x=\"1\" X=\"2\">");
                    Drain(f / "a.xml");
                  },
                  457},
        ErrorCase{"WritingIntoAMissingFolder", [](const fs::path& f) { ostrel::Writer(f / "no" / "a.xml"); }, 75},
        ErrorCase{"WritingAfterClose",
                  [](const fs::path& f) {
                    ostrel::Writer w(f / "a.xml");
                    w.close();
                    w.line(0, "<a/>");
                  },
                  52},
        ErrorCase{"ClosingTwice",
                  [](const fs::path& f) {
                    ostrel::Writer w(f / "a.xml");
                    w.close();
                    w.close();
                  },
                  52},
        ErrorCase{"CharacterShiftJisLacks", [](const fs::path& f) { ostrel::Writer(f / "a.xml").comment(u"\u00e9\U0001F600"); }, 5}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
