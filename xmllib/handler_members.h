// The names by which _IXmlHandler's callbacks and their arguments are called
// late-bound: the dispatch table of any class that implements the interface,
// the library's own IXmlHandler and a client's handler alike.
#pragma once

#include "platform/dispatch.h"
#include "xmllib/ostrel.h"

namespace ostrel {

template <class Handler>
const platform::DispatchTable<Handler>& XmlHandlerMembers() {
  static const platform::DispatchTable<Handler> table{
      platform::Member<Handler, &_IXmlHandler::ErrElement>(u"ErrElement", u"ln", u"msg", u"content"),
      platform::Member<Handler, &_IXmlHandler::StartElement>(u"StartElement", u"tagname", u"parmList"),
      platform::Member<Handler, &_IXmlHandler::EndElement>(u"EndElement", u"tagname"),
      platform::Member<Handler, &_IXmlHandler::contentData>(u"contentData", u"tagname", u"contentData"),
  };
  return table;
}

}  // namespace ostrel
