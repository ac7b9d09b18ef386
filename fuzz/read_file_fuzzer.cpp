// The reader end to end: the input's bytes become a file, SetData reads it
// with a handler that checks the order of the callbacks as it receives them.
//
// A read either returns 0, having reported a balanced run of elements or one
// nesting error as its last callback, or fails with a read error. (A read
// that ends inside a tag with no element open is no error, so the closing
// empty content cannot be required.) Whatever
// happens, the file slot is free afterwards.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include <ostrel/com/collection.h>
#include <ostrel/com/com_ptr.h>
#include <ostrel/com/dispatch.h>
#include "runtime/file_slot.h"
#include <ostrel/com/text.h>
#include "runtime/unicode.h"
#include <ostrel/handler_members.h>
#include "xmllib/reader.h"

namespace {

using ostrel_fuzz::Require;

class CheckingHandler final : public ostrel::com::DispatchObject<CheckingHandler, _IXmlHandler> {
 public:
  static const ostrel::com::DispatchTable<CheckingHandler>& Members() {
    return ostrel::XmlHandlerMembers<CheckingHandler>();
  }

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR*) override {
    Arrive();
    Require(*ln >= 1, "ErrElement counts tokens from 1");
    Require(!ostrel::com::View(*msg).empty(), "ErrElement names the fault");
    errorSeen = true;
    return S_OK;
  }
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override {
    Arrive();
    if (!list) list = ostrel::com::ComPtr<Collection>::Share(*parmList);
    Require(*parmList == list.get(), "one attribute list serves the whole read");
    open.emplace_back(ostrel::com::View(*tagname));
    lastEnded.reset();
    return S_OK;
  }
  HRESULT EndElement(BSTR* tagname) override {
    Arrive();
    Require(!open.empty() && open.back() == ostrel::com::View(*tagname), "EndElement closes the innermost element");
    lastEnded = open.back();
    open.pop_back();
    return S_OK;
  }
  // An empty-element tag reports its own name, with empty text, right after
  // its EndElement; all other content belongs to the innermost open element.
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override {
    Arrive();
    const std::u16string_view name = ostrel::com::View(*tagname);
    const bool afterEmptyTag = lastEnded && *lastEnded == name && ostrel::com::View(*contentData).empty();
    Require(afterEmptyTag || name == (open.empty() ? u"" : open.back()), "contentData names the open element");
    lastEnded.reset();
    return S_OK;
  }

  std::vector<std::u16string> open;
  bool errorSeen = false;
  ostrel::com::ComPtr<Collection> list;

 private:
  void Arrive() { Require(!errorSeen, "nothing follows ErrElement"); }

  std::optional<std::u16string> lastEnded;
};

int32_t CountOf(Collection* list) {
  int32_t count = 0;
  ostrel::com::Check(list->Count(&count));
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string path = ostrel_fuzz::ScratchPath("input.xml");
  static const bool silenced = (ostrel_fuzz::SilenceMessageBoxes(), true);
  (void)silenced;
  ostrel_fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

  auto reader = ostrel::com::ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  auto handler = ostrel::com::ComPtr<CheckingHandler>::Attach(new CheckingHandler());
  ostrel::com::Bstr filename(ostrel::com::FromUtf8(path));
  _IXmlHandler* handle = handler.get();
  int16_t result = 1;
  const int32_t error = ostrel_fuzz::ErrorNumber(reader->SetData(filename.Address(), &handle, &result));

  Require(!ostrel::com::file_slot::IsOpen(), "the read frees the file slot");
  if (error != 0) {
    Require(ostrel_fuzz::IsReadError(error), "a read fails only with a read error");
    return 0;
  }
  Require(result == 0, "an existing file is read");
  Require(handler->errorSeen || handler->open.empty(), "a read without an error closes every element");
  if (handler->list) Require(CountOf(handler->list.get()) == 0, "the attribute list is emptied");
  return 0;
}
