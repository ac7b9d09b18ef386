#include "xmllib/handler.h"

#include "xmllib/handler_members.h"

namespace ostrel {

const ostrel::com::DispatchTable<IXmlHandler>& IXmlHandler::Members() { return XmlHandlerMembers<IXmlHandler>(); }

HRESULT IXmlHandler::ErrElement(int32_t*, BSTR*, BSTR*) { return S_OK; }
HRESULT IXmlHandler::StartElement(BSTR*, Collection**) { return S_OK; }
HRESULT IXmlHandler::EndElement(BSTR*) { return S_OK; }
HRESULT IXmlHandler::contentData(BSTR*, BSTR*) { return S_OK; }

}  // namespace ostrel
