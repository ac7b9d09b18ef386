#include "xmllib/handler.h"

namespace ostrel {

const platform::DispatchTable<IXmlHandler>& IXmlHandler::Members() {
  static const platform::DispatchTable<IXmlHandler> table{
      platform::Member<IXmlHandler, &_IXmlHandler::ErrElement>(u"ErrElement", u"ln", u"msg", u"content"),
      platform::Member<IXmlHandler, &_IXmlHandler::StartElement>(u"StartElement", u"tagname", u"parmList"),
      platform::Member<IXmlHandler, &_IXmlHandler::EndElement>(u"EndElement", u"tagname"),
      platform::Member<IXmlHandler, &_IXmlHandler::contentData>(u"contentData", u"tagname", u"contentData"),
  };
  return table;
}

HRESULT IXmlHandler::ErrElement(int32_t*, BSTR*, BSTR*) { return S_OK; }
HRESULT IXmlHandler::StartElement(BSTR*, Collection**) { return S_OK; }
HRESULT IXmlHandler::EndElement(BSTR*) { return S_OK; }
HRESULT IXmlHandler::contentData(BSTR*, BSTR*) { return S_OK; }

}  // namespace ostrel
