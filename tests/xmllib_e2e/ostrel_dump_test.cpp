// ostrel-dump, run as a program on files on disk: its lines, its exit status,
// and the same output when SetData is called by name.
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/xmllib/xml_test_support.h"
#include "tests/xmllib_e2e/broken_ostrel_registry.h"
#include "tools/json.h"

namespace {

using ostrel_test::Utf8;
using Lines = std::vector<std::string>;

struct DumpRun {
  int status;
  Lines lines;
  std::string errors;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

class OstrelDumpTest : public ostrel_test::XmlFileTest {
 protected:
  // Runs ostrel-dump with ARGUMENTS (already quoted), after ENVIRONMENT.
  DumpRun Dump(const std::string& arguments, const std::string& environment = "") {
    const auto out = folder_ / "out.txt";
    const auto err = folder_ / "err.txt";
    const std::string command = environment + " '" + OSTREL_BIN_DIR + "/ostrel-dump' " + arguments + " >'" +
                                out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, SplitLines(Slurp(out)), Slurp(err)};
  }
  DumpRun DumpFile(const std::u16string& path, bool lateBound = false) {
    return Dump(std::string(lateBound ? "--late-bound " : "") + "'" + Utf8(path) + "'");
  }
};

TEST_F(OstrelDumpTest, PrintsEachCallAsOneJsonLineThenTheResult) {
  const DumpRun run = DumpFile(WriteLines(
      "memo.xml", {"<?xml version=\"1.0\"?>", "<Memo>", "\t<sentence Title=\"t\" n=\"2\">s</sentence>", "</Memo>"}));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.lines, (Lines{
                           R"({"call":"StartElement","tagname":"Memo","parmList":[]})",
                           R"({"call":"StartElement","tagname":"sentence","parmList":[["Title","t"],["n","2"]]})",
                           R"({"call":"contentData","tagname":"sentence","contentData":"s"})",
                           R"({"call":"EndElement","tagname":"sentence"})",
                           R"({"call":"EndElement","tagname":"Memo"})",
                           R"({"call":"contentData","tagname":"","contentData":""})",
                           R"({"call":"SetData","result":0})",
                       }));
  EXPECT_EQ(run.errors, "");
}

TEST_F(OstrelDumpTest, EscapesLineBreaksQuotesAndControlsAndWritesUtf8) {
  // "本文" in CP932 on the second line of the content.
  const DumpRun run = DumpFile(WriteLines("input.xml", {"<a>say \"hi\" \\", "\x96\x7B\x95\xB6\tend</a>"}));
  ASSERT_EQ(run.lines.size(), 5u);
  EXPECT_EQ(run.lines[1], R"({"call":"contentData","tagname":"a","contentData":"say \"hi\" \\\r\n本文\u0009end"})");
}

// The JSON of a tag name is made once and used while the name repeats;
// names of the same length, or one the start of another, are still told
// apart.
TEST_F(OstrelDumpTest, EachLineNamesItsOwnTagAmongLikeNames) {
  const DumpRun run = DumpFile(WriteLines("input.xml", {"<ab><ac>1</ac><a>2</a><ab>3</ab></ab>"}));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.lines, (Lines{
                           R"({"call":"StartElement","tagname":"ab","parmList":[]})",
                           R"({"call":"StartElement","tagname":"ac","parmList":[]})",
                           R"({"call":"contentData","tagname":"ac","contentData":"1"})",
                           R"({"call":"EndElement","tagname":"ac"})",
                           R"({"call":"StartElement","tagname":"a","parmList":[]})",
                           R"({"call":"contentData","tagname":"a","contentData":"2"})",
                           R"({"call":"EndElement","tagname":"a"})",
                           R"({"call":"StartElement","tagname":"ab","parmList":[]})",
                           R"({"call":"contentData","tagname":"ab","contentData":"3"})",
                           R"({"call":"EndElement","tagname":"ab"})",
                           R"({"call":"EndElement","tagname":"ab"})",
                           R"({"call":"contentData","tagname":"","contentData":""})",
                           R"({"call":"SetData","result":0})",
                       }));
}

// Lines are gathered into blocks before they are written: lines that cross
// from one block to the next, and a line longer than a block, come out whole.
TEST_F(OstrelDumpTest, LinesAcrossAndBeyondTheOutputBlockComeOutWhole) {
  std::string memos;
  for (int i = 0; i < 3000; ++i) memos += "<s T=\"\x8D\xA1\">\x93\xFA\"" + std::to_string(i) + "</s>";
  std::string longText;
  std::string longJson;
  for (int i = 0; i < 10000; ++i) {  // 70,000 bytes of UTF-8
    longText += "\x8D\xA1\x8D\xA1" "a";
    longJson += "今今a";
  }
  const DumpRun run = DumpFile(WriteLines("input.xml", {"<Memo>", memos, "<b>" + longText + "</b>", "</Memo>"}));
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 1u + 3 * 3000 + 3 + 3);
  for (int i = 0; i < 3000; ++i) {
    EXPECT_EQ(run.lines[1 + 3 * i], R"({"call":"StartElement","tagname":"s","parmList":[["T","今"]]})");
    EXPECT_EQ(run.lines[2 + 3 * i],
              R"({"call":"contentData","tagname":"s","contentData":"日\")" + std::to_string(i) + "\"}");
  }
  EXPECT_EQ(run.lines[1 + 3 * 3000 + 1], R"({"call":"contentData","tagname":"b","contentData":")" + longJson + "\"}");
}

TEST_F(OstrelDumpTest, NestingErrorIsALineAndTheReadStillSucceeds) {
  const DumpRun run = DumpFile(WriteLines("input.xml", {"</a>"}));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.lines, (Lines{R"({"call":"ErrElement","ln":1,"msg":"タグ(a)は対称していません。","content":"a"})",
                              R"({"call":"SetData","result":0})"}));
}

TEST_F(OstrelDumpTest, MissingFileShowsTheMessageOnStderrAndExitsWithTwo) {
  const std::u16string missing = PathOf("none.xml");
  const DumpRun run = DumpFile(missing);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.lines, (Lines{R"({"call":"SetData","result":-1})"}));
  EXPECT_EQ(run.errors, "Ostrel: XMLファイル (" + Utf8(missing) + "）のオープンに失敗しました。\n");
}

TEST_F(OstrelDumpTest, FailedCallEndsWithItsErrorAndExitsWithOne) {
  const DumpRun run = DumpFile(WriteLines("input.xml", {"<m>", "<a x=\"1\" X=\"2\">"}));
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(run.lines.size(), 2u);
  EXPECT_EQ(run.lines[0], R"({"call":"StartElement","tagname":"m","parmList":[]})");
  EXPECT_EQ(run.lines[1], R"({"call":"SetData","error":457,"description":)" +
                              tools::JsonString(ostrel::com::StandardDescription(457)) + "}");
}

TEST_F(OstrelDumpTest, LateBoundOutputIsTheSame) {
  const std::u16string files[] = {
      WriteLines("memo.xml", {"<Memo>", "<s T=\"x\">a&gt;b</s>", "<e/>", "</Memo>"}),
      WriteLines("error.xml", {"<a><b></a>"}),
      WriteLines("duplicate.xml", {"<a x=\"1\" x=\"2\">"}),
      PathOf("none.xml"),
  };
  for (const std::u16string& file : files) {
    const DumpRun early = DumpFile(file);
    const DumpRun late = DumpFile(file, true);
    EXPECT_EQ(late.status, early.status) << Utf8(file);
    EXPECT_EQ(late.lines, early.lines) << Utf8(file);
    EXPECT_EQ(late.errors, early.errors) << Utf8(file);
  }
}

TEST_F(OstrelDumpTest, UnregisteredLibraryFailsCreationWithOne) {
  const DumpRun run = DumpFile(WriteLines("input.xml", {"<a/>"}));
  ostrel_test::WriteBrokenOstrelRegistry(folder_ / "registry");
  const DumpRun unregistered =
      Dump("'" + Utf8(PathOf("input.xml")) + "'", "COM_REGISTRY='" + (folder_ / "registry").string() + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(unregistered.status, 1);
  EXPECT_TRUE(unregistered.lines.empty());
  EXPECT_NE(unregistered.errors.find("ostrel-dump: cannot create CXmlReader: error 429"), std::string::npos)
      << unregistered.errors;
}

TEST_F(OstrelDumpTest, UsageErrorsPrintUsageOnStderrAndExitWithTwo) {
  for (const std::string arguments : {"", "a b", "--late", "--late-bound"}) {
    const DumpRun run = Dump(arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_TRUE(run.lines.empty()) << arguments;
    EXPECT_TRUE(run.errors.starts_with("ostrel-dump: ")) << run.errors;
    EXPECT_NE(run.errors.find("\nUsage: ostrel-dump [--late-bound] [--] FILE\n"), std::string::npos) << run.errors;
  }
}

TEST_F(OstrelDumpTest, HelpAndVersionGoToStdoutAndSucceed) {
  const DumpRun help = Dump("--help");
  EXPECT_EQ(help.status, 0);
  ASSERT_FALSE(help.lines.empty());
  EXPECT_EQ(help.lines[0], "Usage: ostrel-dump [--late-bound] [--] FILE");
  EXPECT_EQ(help.errors, "");
  const DumpRun version = Dump("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.lines, Lines{"ostrel-dump (Ostrel) 1.0.0.0"});
}

TEST_F(OstrelDumpTest, AFileNamedLikeAnOptionIsReadAfterTheDoubleDash) {
  WriteLines("--help", {"<a/>"});
  const DumpRun run = Dump("--late-bound -- --help", "cd '" + folder_.string() + "' &&");
  EXPECT_EQ(run.status, 0) << run.errors;
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines.front(), R"({"call":"StartElement","tagname":"a","parmList":[]})");
}

}  // namespace

namespace {

// The argument's bytes name the file, even when they are not UTF-8 and a file
// named with the replacement character stands beside it.
TEST_F(OstrelDumpTest, ArgumentNamesTheFileOfItsVeryBytes) {
  std::ofstream(folder_ / "caf\xE9.xml", std::ios::binary) << "<a/>\r\n";
  std::ofstream(folder_ / "caf\xEF\xBF\xBD.xml", std::ios::binary) << "<b/>\r\n";
  const DumpRun run = Dump("'" + (folder_ / "caf\xE9.xml").string() + "'");
  EXPECT_EQ(run.status, 0);
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines[0], R"({"call":"StartElement","tagname":"a","parmList":[]})");
}

// A file that may not be read fails with 70, described as a refusal to read.
TEST_F(OstrelDumpTest, UnreadableFileFailsWith70SayingReading) {
  const std::filesystem::path writeOnly = "/sys/bus/pci/drivers_probe";
  if (!std::filesystem::exists(writeOnly)) GTEST_SKIP() << writeOnly << " is missing";
  std::filesystem::create_symlink(writeOnly, folder_ / "input.xml");
  const DumpRun run = DumpFile(PathOf("input.xml"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.lines, (Lines{R"({"call":"SetData","error":70,"description":"読み込みできません。"})"}));
}

}  // namespace
