// The names by which _IXmlHandler's callbacks and their arguments are called
// late-bound: the dispatch table of any class that implements the interface,
// the library's own IXmlHandler and a client's handler alike.
#pragma once

#include <ostrel/com/dispatch.h>
#include "ostrel.h"

namespace ostrel {

template <class Handler>
const ostrel::com::DispatchTable<Handler>& XmlHandlerMembers() {
  static const ostrel::com::DispatchTable<Handler> table{
      ostrel::com::Member<Handler, &_IXmlHandler::ErrElement>(u"ErrElement", u"ln", u"msg", u"content"),
      ostrel::com::Member<Handler, &_IXmlHandler::StartElement>(u"StartElement", u"tagname", u"parmList"),
      ostrel::com::Member<Handler, &_IXmlHandler::EndElement>(u"EndElement", u"tagname"),
      ostrel::com::Member<Handler, &_IXmlHandler::contentData>(u"contentData", u"tagname", u"contentData"),
  };
  return table;
}

}  // namespace ostrel
