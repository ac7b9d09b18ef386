#include "bench/counting_read.h"

#include <stdexcept>

#include <ostrel/com/com_runtime.h>
#include <ostrel/com/dispatch.h>
#include "runtime/unicode.h"
#include <ostrel/handler_members.h>
#include <ostrel/ostrel.h>

namespace bench {
namespace {

class CountingHandler final : public ostrel::com::DispatchObject<CountingHandler, _IXmlHandler> {
 public:
  static const ostrel::com::DispatchTable<CountingHandler>& Members() {
    return ostrel::XmlHandlerMembers<CountingHandler>();
  }
  HRESULT ErrElement(int32_t*, BSTR*, BSTR*) override { return Count(0); }
  HRESULT StartElement(BSTR*, Collection**) override { return Count(0); }
  HRESULT EndElement(BSTR*) override { return Count(0); }
  HRESULT contentData(BSTR*, BSTR* contentData) override { return Count(SysStringLen(*contentData)); }

  Tally tally;

 private:
  HRESULT Count(long characters) {
    ++tally.callbacks;
    tally.characters += characters;
    return S_OK;
  }
};

}  // namespace

Tally ReadWithOstrel(const std::string& path) {
  auto reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
  auto handler = ostrel::com::ComPtr<CountingHandler>::Attach(new CountingHandler());
  ostrel::com::Bstr name(ostrel::com::FromUtf8(path));
  _IXmlHandler* handle = handler.get();
  int16_t result = 0;
  ostrel::com::Check(reader->SetData(name.Address(), &handle, &result));
  if (result != 0) throw std::runtime_error("Ostrel did not read " + path);
  return handler->tally;
}

}  // namespace bench
