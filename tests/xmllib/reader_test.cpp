// SetData: the callbacks a file produces, in order, with their values; the
// nesting errors; the message boxes for a missing file or file name.
#include "xmllib/reader.h"

#include <string>
#include <utility>
#include <vector>

#include "tests/xmllib/xml_test_support.h"
#include <ostrel/com/com_runtime.h>
#include <ostrel/handler_members.h>

namespace {

using ostrel_test::MessageBoxShown;
using ostrel_test::RecordingHandler;
using ostrel_test::Utf8;
using Calls = std::vector<std::string>;

class ReaderTest : public ostrel_test::XmlFileTest {
 protected:
  // SetData through its slot; returns the call's status.
  HRESULT SetData(const std::u16string& filename, _IXmlHandler* handle, int16_t* result) {
    ostrel::com::Bstr name(filename);
    return reader->SetData(name.Address(), &handle, result);
  }

  // The calls that reading a file of LINES makes, which must succeed with 0.
  Calls Read(std::initializer_list<std::string_view> lines) {
    path = WriteLines("input.xml", lines);
    handler->calls.clear();
    int16_t result = 1;
    EXPECT_EQ(SetData(path, handler.get(), &result), S_OK);
    EXPECT_EQ(result, 0);
    return handler->calls;
  }

  // The ErrElement text for the end of input with ELEMENT open in the file
  // that Read writes.
  std::string Unprocessed(const std::string& element) const {
    return Utf8(PathOf("input.xml")) + "で未処理のタグ (" + element + ") があります。";
  }

  ostrel::com::ComPtr<ostrel::CXmlReader> reader = ostrel::com::ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  ostrel::com::ComPtr<RecordingHandler> handler = RecordingHandler::Create();
  std::u16string path;
};

// --- Callbacks in file order ---

TEST_F(ReaderTest, MemoFileGivesElementsContentAndAFinalEmptyContent) {
  EXPECT_EQ(Read({"<?xml version=\"1.0\"  encoding = \"Shift-JIS\" ?>", "<!-- c -->", "<Memo>",
                  "\t<sentence Title=\"t\">s</sentence>", "</Memo>"}),
            (Calls{"StartElement(Memo)", "StartElement(sentence; Title=t)", "contentData(sentence, s)",
                   "EndElement(sentence)", "EndElement(Memo)", "contentData(, )"}));
}

TEST_F(ReaderTest, EmptyElementTagStartsEndsAndGivesEmptyContent) {
  EXPECT_EQ(Read({"<a x=\"1\"/>"}),
            (Calls{"StartElement(a; x=1)", "EndElement(a)", "contentData(a, )", "contentData(, )"}));
}

TEST_F(ReaderTest, ContentGoesToTheInnermostOpenElement) {
  EXPECT_EQ(Read({"<a><b>in</b>out</a>"}),
            (Calls{"StartElement(a)", "StartElement(b)", "contentData(b, in)", "EndElement(b)", "contentData(a, out)",
                   "EndElement(a)", "contentData(, )"}));
}

TEST_F(ReaderTest, ContentOutsideAnyElementHasAnEmptyName) {
  EXPECT_EQ(Read({"text<a></a>"}),
            (Calls{"contentData(, text)", "StartElement(a)", "EndElement(a)", "contentData(, )"}));
}

TEST_F(ReaderTest, BlankBetweenTagsIsReportedAsContent) { EXPECT_EQ(Read({"<a> <b>"}).at(1), "contentData(a,  )"); }

TEST_F(ReaderTest, TextAfterTheLastEndTagIsNeverReported) {
  EXPECT_EQ(Read({"<Memo>", "</Memo>tail"}), (Calls{"StartElement(Memo)", "EndElement(Memo)", "contentData(, )"}));
}

TEST_F(ReaderTest, EmptyFileGivesOnlyTheFinalEmptyContent) {
  path = WriteBytes("empty.xml", "");
  int16_t result = 1;
  EXPECT_EQ(SetData(path, handler.get(), &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(handler->calls, (Calls{"contentData(, )"}));
}

TEST_F(ReaderTest, ContentDecodesGreaterLessAndQuoteOnly) {
  EXPECT_EQ(Read({"<a>x &lt;y&gt; &quot;z&quot; &amp;amp;</a>"}).at(1), "contentData(a, x <y> \"z\" &amp;amp;)");
  EXPECT_EQ(Read({"<a>&amp;lt; &apos; &#60;</a>"}).at(1), "contentData(a, &amp;lt; &apos; &#60;)");
  // References cut short, or "&" alone at the end, stay as they are.
  EXPECT_EQ(Read({"<a>&g &lt &quo; &q&</a>"}).at(1), "contentData(a, &g &lt &quo; &q&)");
}

TEST_F(ReaderTest, DecodedCharactersNeverFormANewReference) {
  EXPECT_EQ(Read({"<a>&&gt;gt;&gt;&gt;&l&lt;t;</a>"}).at(1), "contentData(a, &>gt;>>&l<t;)");
}

TEST_F(ReaderTest, AttributeValuesAndNamesAreNotDecoded) {
  EXPECT_EQ(Read({"<a x=\"&lt;\">"}).at(0), "StartElement(a; x=&lt;)");
}

TEST_F(ReaderTest, JapaneseTextIsReadFromShiftJis) {
  // "<メモ 題=\"件\">本文</メモ>" in CP932.
  EXPECT_EQ(Read({"<\x83\x81\x83\x82 \x91\xE8=\"\x8C\x8F\">\x96\x7B\x95\xB6</\x83\x81\x83\x82>"}),
            (Calls{"StartElement(メモ; 題=件)", "contentData(メモ, 本文)", "EndElement(メモ)", "contentData(, )"}));
}

// --- The attribute list ---

TEST_F(ReaderTest, OneListServesEveryStartTagAndIsEmptiedAfterEach) {
  EXPECT_EQ(Read({"<a x=\"1\">", "<b y=\"2\"/>", "<c>"}),
            (Calls{"StartElement(a; x=1)", "StartElement(b; y=2)", "EndElement(b)", "contentData(b, )",
                   "StartElement(c)", "contentData(c, )", "ErrElement(5, " + Unprocessed("a") + ", )"}));
  ASSERT_EQ(handler->listsSeen.size(), 3u);
  EXPECT_EQ(handler->listsSeen[1], handler->listsSeen[0]);
  EXPECT_EQ(handler->listsSeen[2], handler->listsSeen[0]);
}

TEST_F(ReaderTest, HandlerThatKeepsTheListFindsItEmptyAfterTheRead) {
  Read({"<a x=\"1\" y=\"2\">", "</a>"});
  ASSERT_TRUE(handler->keptList);
  int32_t count = -1;
  ASSERT_EQ(handler->keptList->Count(&count), S_OK);
  EXPECT_EQ(count, 0);
}

// --- Nesting errors ---

TEST_F(ReaderTest, EndTagOfAnOuterElementStopsTheRead) {
  EXPECT_EQ(Read({"<a><b></a>", "<c/>"}),
            (Calls{"StartElement(a)", "StartElement(b)", "ErrElement(3, タグ(bと(a)は対称していません。, a)"}));
}

TEST_F(ReaderTest, EndTagWithNothingOpenIsAnError) {
  EXPECT_EQ(Read({"</a>"}), (Calls{"ErrElement(1, タグ(a)は対称していません。, a)"}));
}

TEST_F(ReaderTest, EmptyElementTagNeverOpensItsElement) {
  EXPECT_EQ(Read({"<a/></a>"}), (Calls{"StartElement(a)", "EndElement(a)", "contentData(a, )",
                                       "ErrElement(2, タグ(a)は対称していません。, a)"}));
}

TEST_F(ReaderTest, EndTagsCompareWholeAndCaseSensitively) {
  EXPECT_EQ(Read({"<a></a >"}).back(), "ErrElement(2, タグ(aと(a )は対称していません。, a )");
  EXPECT_EQ(Read({"<a></A>"}).back(), "ErrElement(2, タグ(aと(A)は対称していません。, A)");
}

TEST_F(ReaderTest, CommentsAndInstructionsCountAsTokens) {
  EXPECT_EQ(Read({"<?xml?>", "<!-- c -->", "</x>"}), (Calls{"ErrElement(3, タグ(x)は対称していません。, x)"}));
}

TEST_F(ReaderTest, EndOfInputWithAnElementOpenIsAnError) {
  EXPECT_EQ(Read({"<Memo>"}),
            (Calls{"StartElement(Memo)", "contentData(Memo, )", "ErrElement(3, " + Unprocessed("Memo") + ", )"}));
}

TEST_F(ReaderTest, EndOfInputNamesTheOutermostOpenElement) {
  EXPECT_EQ(Read({"<a><b>"}).back(), "ErrElement(4, " + Unprocessed("a") + ", )");
}

TEST_F(ReaderTest, InputEndingInsideATagReportsTheUnfinishedText) {
  EXPECT_EQ(Read({"<Memo>", "<sentence Title=\"x\""}),
            (Calls{"StartElement(Memo)", "ErrElement(2, " + Unprocessed("Memo") + ", sentence Title=\"x\")"}));
}

TEST_F(ReaderTest, EndTagWithASlashEndsTheReadAsTheInputWould) {
  EXPECT_EQ(Read({"<a></a/>"}), (Calls{"StartElement(a)", "ErrElement(2, " + Unprocessed("a") + ", a)"}));
}

TEST_F(ReaderTest, InputEndingInsideATagWithNothingOpenIsNoError) {
  EXPECT_EQ(Read({"<a></a>", "<b"}), (Calls{"StartElement(a)", "EndElement(a)"}));
}

// --- Missing file or file name ---

TEST_F(ReaderTest, EmptyFileNameShowsAMessageAndReadsNothing) {
  int16_t result = 0;
  EXPECT_EQ(SetData(u"", handler.get(), &result), S_OK);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(messageBoxes, (std::vector<MessageBoxShown>{{"XMLファイルが指定されていません。", "Ostrel"}}));
  EXPECT_TRUE(handler->calls.empty());
}

TEST_F(ReaderTest, MissingFileShowsItsNameAndReadsNothing) {
  int16_t result = 0;
  EXPECT_EQ(SetData(PathOf("none.xml"), handler.get(), &result), S_OK);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(messageBoxes,
            (std::vector<MessageBoxShown>{
                {"XMLファイル (" + Utf8(PathOf("none.xml")) + "）のオープンに失敗しました。", "Ostrel"}}));
  EXPECT_TRUE(handler->calls.empty());
}

TEST_F(ReaderTest, OneReaderReadsFileAfterFile) {
  Read({"<a>"});
  handler->calls.clear();
  path = WriteLines("second.xml", {"<b></b>"});
  int16_t result = 1;
  EXPECT_EQ(SetData(path, handler.get(), &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(handler->calls, (Calls{"StartElement(b)", "EndElement(b)", "contentData(, )"}));
}

// Uses the reader it is called from before each callback reaches RECORDER:
// a nested SetData, which the taken file slot refuses, and a setKeyList
// that fills the reader's own attribute texts with something else.
class MeddlingHandler final : public ostrel::com::DispatchObject<MeddlingHandler, _IXmlHandler> {
 public:
  MeddlingHandler(ostrel::CXmlReader& reader, RecordingHandler& recorder, std::u16string path)
      : reader_(reader), recorder_(recorder), path_(std::move(path)) {}
  static const ostrel::com::DispatchTable<MeddlingHandler>& Members() {
    return ostrel::XmlHandlerMembers<MeddlingHandler>();
  }

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override {
    Meddle();
    return recorder_.ErrElement(ln, msg, content);
  }
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override {
    Meddle();
    return recorder_.StartElement(tagname, parmList);
  }
  HRESULT EndElement(BSTR* tagname) override {
    Meddle();
    return recorder_.EndElement(tagname);
  }
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override {
    Meddle();
    return recorder_.contentData(tagname, contentData);
  }

  int refusedReads = 0;

 private:
  void Meddle() {
    ostrel::com::Bstr name(path_);
    _IXmlHandler* self = this;
    int16_t result = 0;
    refusedReads += reader_.SetData(name.Address(), &self, &result) != S_OK;
    ostrel::com::Bstr text(u"other k1=\"a long value to overwrite what the reader holds\" k2=v");
    ostrel::com::Bstr tag;
    VARIANT_BOOL split = VARIANT_FALSE;
    ostrel::com::ComPtr<Collection> list = ostrel::com::NewCollection();
    Collection* listArgument = list.get();
    reader_.setKeyList(text.Address(), tag.Address(), &listArgument, &split);
  }

  ostrel::CXmlReader& reader_;
  RecordingHandler& recorder_;
  std::u16string path_;
};

TEST_F(ReaderTest, AHandlerUsingTheReaderMidReadChangesNothingItIsGiven) {
  const Calls plain = Read({"<Memo>", "\t<sentence Title=\"t&gt;\">body &lt;one&gt;</sentence>", "<e x=\"1\"/>",
                            "</Memo>", "</Memo>"});
  handler->calls.clear();
  const auto meddler =
      ostrel::com::ComPtr<MeddlingHandler>::Attach(new MeddlingHandler(*reader.get(), *handler.get(), path));
  int16_t result = 1;
  EXPECT_EQ(SetData(path, meddler.get(), &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(handler->calls, plain);
  EXPECT_EQ(meddler->refusedReads, static_cast<int>(plain.size()));
}

// Hands each callback to RECORDER, then puts a text of its own, of another
// length each time, in every text argument: a handler may assign to what it
// is given by reference, and the reader, which refills its texts in place,
// must neither write into the handler's text as if it were its own block nor
// leak it.
class ReplacingHandler final : public ostrel::com::DispatchObject<ReplacingHandler, _IXmlHandler> {
 public:
  explicit ReplacingHandler(RecordingHandler& recorder) : recorder_(recorder) {}
  static const ostrel::com::DispatchTable<ReplacingHandler>& Members() {
    return ostrel::XmlHandlerMembers<ReplacingHandler>();
  }

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override {
    const HRESULT status = recorder_.ErrElement(ln, msg, content);
    Replace(msg);
    Replace(content);
    return status;
  }
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override {
    const HRESULT status = recorder_.StartElement(tagname, parmList);
    Replace(tagname);
    return status;
  }
  HRESULT EndElement(BSTR* tagname) override {
    const HRESULT status = recorder_.EndElement(tagname);
    Replace(tagname);
    return status;
  }
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override {
    const HRESULT status = recorder_.contentData(tagname, contentData);
    Replace(tagname);
    Replace(contentData);
    return status;
  }

 private:
  void Replace(BSTR* text) {
    SysFreeString(*text);
    *text = SysAllocString(std::u16string(++replaced_ % 10, u'r'));
  }

  RecordingHandler& recorder_;
  int replaced_ = 0;
};

// Calls the handler it holds by name, as a host that binds late does: the
// arguments go by reference through Invoke to that handler's slots.
class LateBoundHandler final : public ostrel::com::DispatchObject<LateBoundHandler, _IXmlHandler> {
 public:
  explicit LateBoundHandler(IDispatch* target) : target_(target) {}
  static const ostrel::com::DispatchTable<LateBoundHandler>& Members() {
    return ostrel::XmlHandlerMembers<LateBoundHandler>();
  }

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override {
    VARIANT number;
    number.vt = VT_BYREF | VT_I4;
    number.plVal = ln;
    VARIANT arguments[] = {number, Text(msg), Text(content)};
    return Call(u"ErrElement", arguments, 3);
  }
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override {
    VARIANT list;
    list.vt = VT_BYREF | VT_DISPATCH;
    list.ppdispVal = reinterpret_cast<IDispatch**>(parmList);
    VARIANT arguments[] = {Text(tagname), list};
    return Call(u"StartElement", arguments, 2);
  }
  HRESULT EndElement(BSTR* tagname) override {
    VARIANT arguments[] = {Text(tagname)};
    return Call(u"EndElement", arguments, 1);
  }
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override {
    VARIANT arguments[] = {Text(tagname), Text(contentData)};
    return Call(u"contentData", arguments, 2);
  }

 private:
  static VARIANT Text(BSTR* text) {
    VARIANT argument;
    argument.vt = VT_BYREF | VT_BSTR;
    argument.pbstrVal = text;
    return argument;
  }
  HRESULT Call(std::u16string_view name, VARIANT* arguments, uint32_t count) {
    ostrel::com::CallByName(target_, name, arguments, count);
    return S_OK;
  }

  IDispatch* target_;
};

TEST_F(ReaderTest, AHandlerThatReplacesItsTextsSeesTheSameValuesThroughItsSlotsAndThroughInvoke) {
  const Calls plain = Read({"<Memo>", "\t<sentence Title=\"t&gt;\">body &lt;one&gt;</sentence>", "<e x=\"1\"/>",
                            "<sentence>a much longer body than any text the handler puts back</sentence>", "<a>x</a>",
                            "</Memo>", "</Memo>"});
  const auto replacing = ostrel::com::ComPtr<ReplacingHandler>::Attach(new ReplacingHandler(*handler.get()));
  const auto lateBound = ostrel::com::ComPtr<LateBoundHandler>::Attach(new LateBoundHandler(replacing.get()));
  for (_IXmlHandler* handle : {static_cast<_IXmlHandler*>(replacing.get()), static_cast<_IXmlHandler*>(lateBound.get())}) {
    handler->calls.clear();
    int16_t result = 1;
    EXPECT_EQ(SetData(path, handle, &result), S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(handler->calls, plain) << (handle == replacing.get() ? "through its slots" : "through Invoke");
  }
}

}  // namespace
