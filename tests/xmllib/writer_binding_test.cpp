// The writer as clients reach it: by ProgID and by name through IDispatch, and
// as the reader's source, which reads back what the writer wrote.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ostrel/com/com_runtime.h>
#include "tests/xmllib/writer_fixture.h"

namespace ostrel_test {
namespace {

VARIANT ByRef(BSTR* text) {
  VARIANT value;
  value.vt = VT_BYREF | VT_BSTR;
  value.pbstrVal = text;
  return value;
}

VARIANT ByRef(int16_t* number) {
  VARIANT value;
  value.vt = VT_BYREF | VT_I2;
  value.piVal = number;
  return value;
}

class WriterByName : public WriterTest {
 protected:
  // The Boolean that operation NAME returns.
  bool Call(std::u16string_view name, std::vector<VARIANT> arguments) {
    VARIANT result = ostrel::com::CallByName(dispatch_.get(), name, arguments.data(), arguments.size());
    EXPECT_EQ(result.vt, VT_BOOL);
    return result.boolVal == VARIANT_TRUE;
  }

  ostrel::com::ComPtr<IDispatch> dispatch_ = ostrel::com::CreateObject(u"Ostrel.CXmlWriter");
};

TEST_F(WriterByName, EveryOperationWorksAsThroughItsSlot) {
  ostrel::com::Bstr filename(PathOf("out.xml")), comment(u"c"), start(u"<a>"), content(u"x<y"), end(u"</a>");
  int16_t indentNo = 1;
  EXPECT_TRUE(Call(u"XmlOpen", {ByRef(filename.Address())}));
  EXPECT_TRUE(Call(u"writecomment", {ByRef(comment.Address())}));
  EXPECT_TRUE(Call(u"WriteSetEllement",
                   {ByRef(&indentNo), ByRef(start.Address()), ByRef(content.Address()), ByRef(end.Address())}));
  EXPECT_TRUE(Call(u"WriteOneEllement", {ByRef(&indentNo), ByRef(end.Address())}));
  EXPECT_TRUE(Call(u"XmlClose", {}));
  EXPECT_FALSE(Call(u"XmlClose", {}));
  EXPECT_EQ(content.view(), u"x<y");
  EXPECT_EQ(Body("out.xml"), "<!--  c  -->\r\n\r\n\t<a>x&lt;y</a>\r\n\t</a>\r\n");
  EXPECT_EQ(messageBoxes, std::vector{Box(kNotOpen)});
}

TEST_F(WriterByName, ArgumentsAreKnownByTheirNames) {
  const char16_t* names[] = {u"WriteOneEllement", u"ellement", u"indentNo"};
  int32_t ids[3] = {};
  ASSERT_EQ(dispatch_->GetIDsOfNames(names, 3, ids), S_OK);
  EXPECT_EQ(ids[1], 1);
  EXPECT_EQ(ids[2], 0);
}

// The content is escaped before the writer looks for an open file, so the
// overflow comes even from a writer that has none, and no message with it.
TEST_F(WriterByName, AFailedCallCarriesItsNumber) {
  ostrel::com::Bstr empty, content(std::u16string(32767, u'>'));
  int16_t indentNo = 0;
  const std::vector<VARIANT> arguments = {ByRef(&indentNo), ByRef(empty.Address()), ByRef(content.Address()),
                                          ByRef(empty.Address())};
  EXPECT_EQ(ErrorOf([&] { Call(u"WriteSetEllement", arguments); }).number(), 6);
  EXPECT_TRUE(messageBoxes.empty());
}

using WriterRoundTrip = WriterTest;

TEST_F(WriterRoundTrip, TheReaderReportsWhatTheWriterWrote) {
  ASSERT_TRUE(writer.XmlOpen(PathOf("memo.xml")));
  ASSERT_TRUE(writer.WriteComment(u"memos"));
  ASSERT_TRUE(writer.WriteOneEllement(0, u"<Memo>"));
  ASSERT_TRUE(writer.WriteSetEllement(1, u"<sentence Title=\"メモ\">", u"a<b> \"c\" & d", u"</sentence>"));
  ASSERT_TRUE(writer.WriteSetEllement(1, u"<sentence Title=\"2\">", u"", u"</sentence>"));
  ASSERT_TRUE(writer.WriteOneEllement(0, u"</Memo>"));
  writer.Release();

  auto reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
  auto handler = RecordingHandler::Create();
  ostrel::com::Bstr filename(PathOf("memo.xml"));
  _IXmlHandler* handle = handler.get();
  int16_t status = 1;
  ASSERT_EQ(reader->SetData(filename.Address(), &handle, &status), S_OK);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(handler->calls, (std::vector<std::string>{
                                "StartElement(Memo)",
                                "StartElement(sentence; Title=メモ)",
                                "contentData(sentence, a<b> \"c\" & d)",
                                "EndElement(sentence)",
                                "StartElement(sentence; Title=2)",
                                "EndElement(sentence)",
                                "EndElement(Memo)",
                                "contentData(, )",
                            }));
  EXPECT_TRUE(messageBoxes.empty());
}

}  // namespace
}  // namespace ostrel_test
