#include "xmllib/handler.h"

#include <ostrel/handler_members.h>

namespace ostrel {

const ostrel::com::DispatchTable<IXmlHandler>& IXmlHandler::Members() { return XmlHandlerMembers<IXmlHandler>(); }

HRESULT IXmlHandler::ErrElement(int32_t* ln, BSTR* msg, BSTR* content) {
  return AnyNull(ln, msg, content) ? E_POINTER : S_OK;
}
HRESULT IXmlHandler::StartElement(BSTR* tagname, Collection** parmList) {
  return AnyNull(tagname, parmList) ? E_POINTER : S_OK;
}
HRESULT IXmlHandler::EndElement(BSTR* tagname) { return AnyNull(tagname) ? E_POINTER : S_OK; }
HRESULT IXmlHandler::contentData(BSTR* tagname, BSTR* contentData) {
  return AnyNull(tagname, contentData) ? E_POINTER : S_OK;
}

}  // namespace ostrel
