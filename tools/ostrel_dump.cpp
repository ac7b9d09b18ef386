// ostrel-dump: prints the callbacks of Ostrel's CXmlReader for a file, one
// JSON object a line; kHelp below says what it prints and how it exits.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "platform/collection.h"
#include "platform/com_runtime.h"
#include "platform/dispatch.h"
#include "platform/error_info.h"
#include "platform/runtime_error.h"
#include "platform/text.h"
#include "platform/unicode.h"
#include "tools/collection_json.h"
#include "tools/command_line.h"
#include "tools/json.h"
#include "xmllib/handler_members.h"
#include "xmllib/ostrel.h"

namespace {

using ostrel::com::Bstr;
using ostrel::com::Check;
using ostrel::com::View;
using tools::JsonString;

constexpr std::string_view kHelp =
    R"(Usage: ostrel-dump [--late-bound] [--] FILE
Read FILE with Ostrel's CXmlReader, created by class identifier through the
component model, and print every callback it makes as one JSON object a
line, in call order, then how SetData ended:

  {"call":"StartElement","tagname":"sentence","parmList":[["Title","t"]]}
  {"call":"SetData","result":0}

Options:
  --late-bound  call SetData by name through IDispatch instead of through its
                slot; the output is the same
  --help        print this help and exit
  --version     print the version and exit

Exit status:
  0 when SetData returned 0, 2 when it returned -1 or on a usage error, 1
  when the call or the creation of the reader failed.
)";

constexpr tools::Option kOptions[] = {{"--late-bound", false}};
constexpr tools::ToolDescription kTool{"ostrel-dump", kHelp, kOptions, 1};

void PrintCall(std::string_view call, const std::string& fields) {
  std::cout << "{\"call\":\"" << call << '"' << fields << "}\n";
}

std::string Field(std::string_view name, const std::string& json) { return ",\"" + std::string(name) + "\":" + json; }

std::string TextField(std::string_view name, BSTR text) { return Field(name, JsonString(View(text))); }

class DumpHandler final : public ostrel::com::DispatchObject<DumpHandler, _IXmlHandler> {
 public:
  static const ostrel::com::DispatchTable<DumpHandler>& Members() { return ostrel::XmlHandlerMembers<DumpHandler>(); }

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override {
    PrintCall("ErrElement", Field("ln", std::to_string(*ln)) + TextField("msg", *msg) + TextField("content", *content));
    return S_OK;
  }
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override {
    return ostrel::com::Guard([&] {
      if (!*parmList) ostrel::com::Raise(ostrel::com::errnum::kObjectNotSet);
      PrintCall("StartElement", TextField("tagname", *tagname) + Field("parmList", tools::CollectionJson(**parmList)));
    });
  }
  HRESULT EndElement(BSTR* tagname) override {
    PrintCall("EndElement", TextField("tagname", *tagname));
    return S_OK;
  }
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override {
    PrintCall("contentData", TextField("tagname", *tagname) + TextField("contentData", *contentData));
    return S_OK;
  }
};

int16_t SetDataBySlot(_CXmlReader& reader, Bstr& filename, _IXmlHandler* handle) {
  int16_t result = 0;
  Check(reader.SetData(filename.Address(), &handle, &result));
  return result;
}

int16_t SetDataByName(_CXmlReader& reader, Bstr& filename, _IXmlHandler* handle) {
  IDispatch* handler = handle;
  VARIANT arguments[2];
  arguments[0].vt = VT_BYREF | VT_BSTR;
  arguments[0].pbstrVal = filename.Address();
  arguments[1].vt = VT_BYREF | VT_DISPATCH;
  arguments[1].ppdispVal = &handler;
  VARIANT result = ostrel::com::CallByName(&reader, u"SetData", arguments, 2);
  const bool isStatus = result.vt == VT_I2;
  const int16_t status = isStatus ? result.iVal : 0;
  VariantClear(&result);
  if (!isStatus) ostrel::com::Raise(ostrel::com::errnum::kTypeMismatch);
  return status;
}

void ReportFailure(const char* what, const ostrel::com::RuntimeError& error) {
  std::cerr << "ostrel-dump: " << what << ": error " << error.number() << ": " << ostrel::com::ToUtf8(error.description())
            << '\n';
}

int Dump(std::string_view file, bool lateBound) {
  ostrel::com::ComPtr<_CXmlReader> reader;
  try {
    reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
  } catch (const ostrel::com::RuntimeError& error) {
    ReportFailure("cannot create CXmlReader", error);
    return 1;
  }
  const auto handler = ostrel::com::ComPtr<_IXmlHandler>::Attach(new DumpHandler());
  Bstr filename(ostrel::com::FromFileName(file));
  try {
    const int16_t result = lateBound ? SetDataByName(*reader.get(), filename, handler.get())
                                     : SetDataBySlot(*reader.get(), filename, handler.get());
    PrintCall("SetData", Field("result", std::to_string(result)));
    return result == 0 ? 0 : 2;
  } catch (const ostrel::com::RuntimeError& error) {
    PrintCall("SetData",
              Field("error", std::to_string(error.number())) + Field("description", JsonString(error.description())));
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const tools::CommandLine line(kTool, argc, argv);
  if (line.finished()) return *line.finished();
  return Dump(line.operands().front(), line.Has("--late-bound"));
}
