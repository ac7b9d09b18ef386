// IXmlHandler: the library's own creatable handler. Its four callbacks do
// nothing and succeed, whatever they are given (but null pointers), so a client can read a file
// for its side effects alone or start from a handler that ignores everything.
#pragma once

#include <ostrel/com/dispatch.h>
#include <ostrel/ostrel.h>

namespace ostrel {

class IXmlHandler final : public ostrel::com::DispatchObject<IXmlHandler, _IXmlHandler> {
 public:
  static const ostrel::com::DispatchTable<IXmlHandler>& Members();

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override;
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override;
  HRESULT EndElement(BSTR* tagname) override;
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override;
};

}  // namespace ostrel
