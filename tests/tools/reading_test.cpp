// Reading through ostrel-call: SetData with the library's own handler, and
// by-reference arguments that a callee changes showing in "args".
#include "tests/tools/call_fixture.h"

namespace {

using call_test::CallTest;
using call_test::Lines;
using call_test::Outcome;

const char kReader[] = R"(["new", "r", "Ostrel.CXmlReader"])";

TEST_F(CallTest, SetDataWithTheLibrarysHandlerPrintsTheStatus) {
  std::ofstream(folder_ / "memo.xml", std::ios::binary) << "<Memo>\r\n\t<sentence Title=\"t\">s</sentence>\r\n</Memo>\r\n";
  const Outcome run = Call({
      kReader,
      R"(["call", "r", "SetData", "memo.xml", {"new": "Ostrel.IXmlHandler"}])",
      R"(["call", "r", "SetData", "none.xml", {"new": "Ostrel.IXmlHandler"}])",
  });
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, (Lines{R"({"line":1,"result":null})", R"({"line":2,"result":0})",
                            R"({"line":3,"result":-1})"}));
  EXPECT_EQ(run.errors, "Ostrel: XMLファイル (none.xml）のオープンに失敗しました。\n");
}

TEST_F(CallTest, NullReachesTheCalleeAsNoObject) {
  std::ofstream(folder_ / "memo.xml", std::ios::binary) << "<Memo/>\r\n";
  const Outcome run = Call({kReader, R"(["call", "r", "SetData", "memo.xml", null])"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out[1], call_test::FailedLine(2, ostrel::com::errnum::kObjectNotSet));
}

TEST_F(CallTest, ArgumentsTheCalleeChangedShowAfterTheResult) {
  const Outcome run = Call({
      kReader,
      R"(["call", "r", "setKeyList", " a x=\"1 2\" y='3'", "", {"new": "Collection"}])",
      R"(["call", "r", "setKeyList", "\ud83d\ude00", "", {"new": "Collection"}])",
  });
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, (Lines{
                         R"({"line":1,"result":null})",
                         R"({"line":2,"result":true,"args":["y='3'","a",{"collection":[["x","1 2"],["y","'3'"]]}]})",
                         R"({"line":3,"result":false,"args":["😀","😀",{"collection":[]}]})",
                     }));
}

TEST_F(CallTest, CollectionVariableIsFilledByTheCalleeAndCalledByName) {
  const Outcome run = Call({
      kReader,
      R"(["new", "c", "Collection"])",
      R"(["call", "c", "Add", "first", "Key1"])",
      R"(["call", "r", "setKeyList", "a x=1", "a", {"obj": "c"}])",
      R"(["call", "c", "Count"])",
      R"(["call", "c", "Item", "X"])",
      R"(["call", "c", "Key", {"i4": 2}])",
      R"(["call", "c", "Add", "again", "key1"])",
  });
  EXPECT_EQ(run.out, (Lines{
                         R"({"line":1,"result":null})",
                         R"({"line":2,"result":null})",
                         R"({"line":3,"result":null})",
                         R"({"line":4,"result":true,"args":["x=1","a",{"obj":"c"}]})",
                         R"({"line":5,"result":2})",
                         R"({"line":6,"result":"1"})",
                         R"({"line":7,"result":"x"})",
                         call_test::FailedLine(8, ostrel::com::errnum::kDuplicateKey),
                     }));
}

}  // namespace
