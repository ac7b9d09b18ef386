// The library's own IXmlHandler: every callback does nothing and succeeds,
// through its slots and by name, and a reader can read with it.
#include "xmllib/handler.h"

#include <ostrel/com/com_runtime.h>
#include "tests/xmllib/xml_test_support.h"
#include "xmllib/reader.h"

namespace {

using ostrel::com::Bstr;

class LibraryHandlerTest : public ostrel_test::XmlFileTest {
 protected:
  ostrel::com::ComPtr<ostrel::IXmlHandler> handler =
      ostrel::com::ComPtr<ostrel::IXmlHandler>::Attach(new ostrel::IXmlHandler());
};

VARIANT ByReference(BSTR* text) {
  VARIANT argument;
  argument.vt = VT_BYREF | VT_BSTR;
  argument.pbstrVal = text;
  return argument;
}

TEST_F(LibraryHandlerTest, CallbacksSucceedAndLeaveTheirArgumentsAlone) {
  int32_t ln = 7;
  Bstr msg(u"message");
  Bstr content(u"content");
  Bstr tagname(u"tag");
  ostrel::com::ComPtr<Collection> list = ostrel::com::NewCollection();
  Collection* parmList = list.get();
  Collection* noList = nullptr;
  EXPECT_EQ(handler->contentData(tagname.Address(), content.Address()), S_OK);
  EXPECT_EQ(handler->EndElement(tagname.Address()), S_OK);
  EXPECT_EQ(handler->StartElement(tagname.Address(), &noList), S_OK);
  EXPECT_EQ(handler->StartElement(tagname.Address(), &parmList), S_OK);
  EXPECT_EQ(handler->ErrElement(&ln, msg.Address(), content.Address()), S_OK);
  EXPECT_EQ(ln, 7);
  EXPECT_EQ(msg.view(), u"message");
  EXPECT_EQ(content.view(), u"content");
  EXPECT_EQ(tagname.view(), u"tag");
  EXPECT_EQ(parmList, list.get());
  EXPECT_EQ(noList, nullptr);
}

TEST_F(LibraryHandlerTest, CallbacksByNameSucceed) {
  Bstr tagname(u"tag");
  Bstr text(u"text");
  VARIANT ln;
  ln.vt = VT_I4;
  ln.lVal = 3;
  VARIANT noList;
  VariantInit(&noList);
  VARIANT errArguments[] = {ln, ByReference(text.Address()), ByReference(text.Address())};
  VARIANT startArguments[] = {ByReference(tagname.Address()), noList};
  VARIANT contentArguments[] = {ByReference(tagname.Address()), ByReference(text.Address())};
  EXPECT_EQ(ostrel::com::CallByName(handler.get(), u"ErrElement", errArguments, 3).vt, VT_EMPTY);
  EXPECT_EQ(ostrel::com::CallByName(handler.get(), u"startelement", startArguments, 2).vt, VT_EMPTY);
  EXPECT_EQ(ostrel::com::CallByName(handler.get(), u"EndElement", contentArguments, 1).vt, VT_EMPTY);
  EXPECT_EQ(ostrel::com::CallByName(handler.get(), u"contentData", contentArguments, 2).vt, VT_EMPTY);
  EXPECT_EQ(text.view(), u"text");
}

TEST_F(LibraryHandlerTest, ReaderReadsWithIt) {
  auto reader = ostrel::com::ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  Bstr filename(WriteLines("input.xml", {"<a x=\"1\">t</b>"}));
  _IXmlHandler* handle = handler.get();
  int16_t result = 1;
  EXPECT_EQ(reader->SetData(filename.Address(), &handle, &result), S_OK);
  EXPECT_EQ(result, 0);
}

}  // namespace
