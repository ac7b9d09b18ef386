// How ostrel-call goes through a script: numbering, skipped lines, lines it
// cannot understand, failed calls, and its exit status.
#include "tests/tools/call_fixture.h"
#include "tools/script_runner.h"
#include "tools/script_source.h"

namespace {

using call_test::CallTest;
using call_test::FailedLine;
using call_test::Lines;
using call_test::Outcome;

const char kWriter[] = R"(["new", "w", "Ostrel.CXmlWriter"])";

TEST_F(CallTest, NumbersOutputByScriptLineCountingSkippedLines) {
  const Outcome run = Call({"# a comment", kWriter, "", "   ", "  # indented comment", R"(["release", "w"])"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, (Lines{R"({"line":2,"result":null})", R"({"line":6,"result":null})"}));
  EXPECT_EQ(run.errors, "");
}

TEST_F(CallTest, LinesItCannotUnderstandNameTheFaultAndTheScriptGoesOn) {
  const Outcome run = Call({
      R"(["new", "w" "Ostrel.CXmlWriter"])",
      R"({"new": "w"})",
      R"(["make", "w"])",
      R"(["new", "w"])",
      R"(["call", "w"])",
      R"(["call", "nobody", "XmlClose"])",
      kWriter,
      R"(["call", "w", "WriteOneEllement", {"i2": 32768}, "<a/>"])",
      R"(["call", "w", "WriteOneEllement", {"i2": 1.5}, "<a/>"])",
      R"(["call", "w", "XmlOpen", {"file": "a.xml"}])",
      R"(["call", "w", "XmlOpen", 7])",
      kWriter,
      R"(["call", "w", "XmlOpen", "a.xml"])",
  });
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, (Lines{
                         R"({"line":1,"error":"bad JSON at column 13: unexpected string literal; expected ']'"})",
                         R"({"line":2,"error":"a line must be a JSON array that starts with \"new\", \"release\" or \"call\""})",
                         R"({"line":3,"error":"unknown command \"make\": expected \"new\", \"release\" or \"call\""})",
                         R"({"line":4,"error":"\"new\" takes a variable and a ProgID"})",
                         R"({"line":5,"error":"\"call\" takes a variable, an operation name and its arguments"})",
                         R"({"line":6,"error":"no variable \"nobody\""})",
                         R"({"line":7,"result":null})",
                         R"({"line":8,"error":"argument 1: {\"i2\": N} needs a whole number from -32768 to 32767"})",
                         R"({"line":9,"error":"argument 1: {\"i2\": N} needs a whole number from -32768 to 32767"})",
                         R"({"line":10,"error":"argument 1: unknown argument kind \"file\": expected a text, null, {\"i2\": N}, {\"i4\": N}, {\"bool\": B}, {\"obj\": VAR} or {\"new\": PROGID}"})",
                         R"({"line":11,"error":"argument 1: expected a text, null, {\"i2\": N}, {\"i4\": N}, {\"bool\": B}, {\"obj\": VAR} or {\"new\": PROGID}"})",
                         R"({"line":12,"error":"variable \"w\" already holds an object: release it first"})",
                         R"({"line":13,"result":true})",
                     }));
}

TEST_F(CallTest, FailedCallsPrintTheirErrorAndTheScriptGoesOn) {
  const Outcome run = Call({
      R"(["new", "x", "Ostrel.NoSuchClass"])",
      kWriter,
      R"(["call", "w", "Flush"])",
      R"(["call", "w", "XmlOpen"])",
      R"(["call", "w", "XmlOpen", {"i2": 1}])",
      R"(["call", "w", "XmlOpen", "a.xml"])",
  });
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, (Lines{
                         R"({"line":1,"error":429,"description":"ProgID Ostrel.NoSuchClass は登録されていません。"})",
                         R"({"line":2,"result":null})",
                         FailedLine(3, ostrel::com::errnum::kNoSuchMember),
                         FailedLine(4, ostrel::com::errnum::kWrongArgumentCount),
                         FailedLine(5, ostrel::com::errnum::kTypeMismatch),
                         R"({"line":6,"result":true})",
                     }));
}

// null is no object, never an empty text or a zero.
TEST_F(CallTest, NullWhereATextOrAnIntegerIsExpectedFailsWithTypeMismatch) {
  const Outcome run = Call({
      kWriter,
      R"(["call", "w", "XmlOpen", null])",
      R"(["call", "w", "XmlOpen", "a.xml"])",
      R"(["call", "w", "WriteOneEllement", null, "<a/>"])",
      R"(["call", "w", "WriteOneEllement", {"i2": 0}, null])",
      R"(["call", "w", "XmlClose"])",
  });
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, (Lines{
                         R"({"line":1,"result":null})",
                         FailedLine(2, ostrel::com::errnum::kTypeMismatch),
                         R"({"line":3,"result":true})",
                         FailedLine(4, ostrel::com::errnum::kTypeMismatch),
                         FailedLine(5, ostrel::com::errnum::kTypeMismatch),
                         R"({"line":6,"result":true})",
                     }));
  EXPECT_EQ(FileText("a.xml").find("<a/>"), std::string::npos);
}

// Runs on from where a 32-bit count would wrap to a negative number.
TEST(ScriptRunnerTest, LineNumbersBeyond32BitsPrintWhole) {
  std::ostringstream out;
  tools::ScriptRunner runner(out);
  const tools::LineNumber beyond = tools::LineNumber{INT32_MAX} + 1;
  runner.RunLine(R"(["nothing"])", beyond);
  runner.RefuseLongLine(beyond + 1);
  EXPECT_EQ(call_test::SplitLines(out.str()),
            (Lines{R"({"line":2147483648,"error":"unknown command \"nothing\": expected \"new\", \"release\" or \"call\""})",
                   R"({"line":2147483649,"error":"the line is longer than 1048576 bytes"})"}));
}

TEST_F(CallTest, FalseResultIsSuccessAndItsMessageBoxGoesToStderr) {
  const Outcome run = Call({kWriter, R"(["call", "w", "WriteComment", "early"])"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out[1], R"({"line":2,"result":false})");
  EXPECT_EQ(run.errors, "Ostrel: XMLファイルはまだオープンされていません。\n");
}

TEST_F(CallTest, ReleasedVariableIsGoneAndItsNameFree) {
  const Outcome run = Call({kWriter, R"(["release", "w"])", R"(["release", "w"])", R"(["call", "w", "XmlClose"])",
                        kWriter});
  EXPECT_EQ(run.out, (Lines{R"({"line":1,"result":null})", R"({"line":2,"result":null})",
                            R"({"line":3,"error":"no variable \"w\""})", R"({"line":4,"error":"no variable \"w\""})",
                            R"({"line":5,"result":null})"}));
}

TEST_F(CallTest, DashReadsTheScriptFromStandardInput) {
  std::ofstream(folder_ / "piped.txt") << kWriter << "\n" << R"(["call", "w", "XmlOpen", "p.xml"])" << "\n";
  const Outcome run = RunTool("- <piped.txt");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, (Lines{R"({"line":1,"result":null})", R"({"line":2,"result":true})"}));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "p.xml"));
}

TEST_F(CallTest, ScriptThatCannotBeReadExitsWithTwo) {
  const Outcome missing = RunTool("none.txt");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.errors, "ostrel-call: cannot read none.txt: No such file or directory\n");
  EXPECT_EQ(RunTool("").status, 2);
}

TEST_F(CallTest, FolderAsScriptIsAReadErrorNotAnEmptyScript) {
  std::filesystem::create_directory(folder_ / "folder");
  const Outcome run = RunTool("folder");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, Lines{});
  EXPECT_EQ(run.errors, "ostrel-call: cannot read folder: Is a directory\n");
  EXPECT_EQ(RunTool("- <folder").status, 2);
}

// Even a comment is read whole before it can be skipped, so a line beyond the
// limit is refused, whatever it holds, and the lines after it still run.
TEST_F(CallTest, LineBeyondTheLimitIsAnErrorAndTheScriptGoesOn) {
  const std::string longComment = "#" + std::string(tools::kMaxScriptLine, 'x');
  const std::string longCall = R"(["call", "w", "XmlOpen", ")" + std::string(tools::kMaxScriptLine, 'y') + R"("])";
  const std::string longest = R"(["call", "w", "XmlOpen", ")" + std::string(tools::kMaxScriptLine - 30, 'z') + R"("])";
  const Outcome run = Call({kWriter, longComment, longCall, R"(["release", "w"])", longest});
  const std::string refused = "the line is longer than " + std::to_string(tools::kMaxScriptLine) + " bytes";
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(run.out.size(), 5u);
  EXPECT_EQ(run.out[1], R"({"line":2,"error":")" + refused + R"("})");
  EXPECT_EQ(run.out[2], R"({"line":3,"error":")" + refused + R"("})");
  EXPECT_EQ(run.out[3], R"({"line":4,"result":null})");
  EXPECT_EQ(run.out[4], R"({"line":5,"error":"no variable \"w\""})");
}

}  // namespace

namespace {

// An argument that fails to become an object, after a call that left a text
// where its variant now stands, must fail that line alone.
TEST_F(CallTest, ArgumentThatCannotBeMadeFailsItsLineAndFreesNothingElse) {
  const Outcome run = Call({
      R"(["new", "c", "Collection"])",
      R"(["call", "c", "Add", "x", "y"])",
      R"(["call", "c", "Add", "x", {"obj": "zz"}])",
      R"(["call", "c", "Add", "x", {"new": "No.Such"}])",
      R"(["call", "c", "Count"])",
  });
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(run.out.size(), 5u);
  EXPECT_EQ(run.out[2], R"({"line":3,"error":"no variable \"zz\""})");
  EXPECT_EQ(run.out[3].rfind(R"({"line":4,"error":429,)", 0), 0u) << run.out[3];
  EXPECT_EQ(run.out[4], R"({"line":5,"result":1})");
}

TEST_F(CallTest, HelpVersionUsageErrorsAndAScriptNamedLikeAnOption) {
  const Outcome help = RunTool("--help");
  EXPECT_EQ(help.status, 0);
  ASSERT_FALSE(help.out.empty());
  EXPECT_EQ(help.out[0], "Usage: ostrel-call [--] SCRIPT");
  EXPECT_EQ(RunTool("--version").out, Lines{"ostrel-call (Ostrel) 1.0.0.0"});
  for (const std::string arguments : {"", "a b", "--verbose a"}) {
    const Outcome run = RunTool(arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_TRUE(run.out.empty()) << arguments;
    EXPECT_NE(run.errors.find("\nUsage: ostrel-call [--] SCRIPT\n"), std::string::npos) << run.errors;
  }
  std::ofstream(folder_ / "--help") << kWriter << "\n";
  const Outcome dashed = RunTool("-- --help");
  EXPECT_EQ(dashed.status, 0) << dashed.errors;
  EXPECT_EQ(dashed.out, Lines{R"({"line":1,"result":null})"});
}

}  // namespace
