// ostrel-dump: prints the callbacks of Ostrel's CXmlReader for a file, one
// JSON object a line; kHelp below says what it prints and how it exits.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/collection.h"
#include "platform/com_runtime.h"
#include "platform/dispatch.h"
#include "platform/error_info.h"
#include "platform/runtime_error.h"
#include "platform/text.h"
#include "platform/unicode.h"
#include "tools/command_line.h"
#include "tools/json.h"
#include "xmllib/handler_members.h"
#include "xmllib/ostrel.h"

namespace {

using ostrel::com::Bstr;
using ostrel::com::Check;
using ostrel::com::View;

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

// Standard output, handed to the system a block at a time: a dump has a line
// for every callback. Texts are converted and escaped straight into the
// block. A failed write ends nothing, as with any stream.
class Output {
 public:
  Output() : block_(kBlock, '\0') {}
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() { Flush(); }

  void Put(std::string_view text) {
    char* at = Room(text.size());
    std::memcpy(at, text.data(), text.size());
    used_ += text.size();
  }
  void PutJson(std::u16string_view text) {
    used_ = static_cast<std::size_t>(tools::PutJsonString(text, Room(tools::JsonStringRoom(text.size()))) - block_.data());
  }
  void Flush() {
    std::string_view rest(block_.data(), used_);
    while (!rest.empty()) {
      const ssize_t count = ::write(STDOUT_FILENO, rest.data(), rest.size());
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) break;
      rest.remove_prefix(static_cast<std::size_t>(count));
    }
    used_ = 0;
  }

 private:
  static constexpr std::size_t kBlock = 64 * 1024;

  // Where BYTES bytes can be written after what the block holds.
  char* Room(std::size_t bytes) {
    if (used_ + bytes > block_.size()) Flush();
    if (bytes > block_.size()) block_.resize(bytes);
    return block_.data() + used_;
  }

  std::string block_;
  std::size_t used_ = 0;
};

// One JSON object on one line: {"call":"NAME","field":value,...}. FIELD
// names the field with its quotes, comma and colon, as in ",\"ln\":".
class CallLine {
 public:
  CallLine(Output& out, std::string_view opening) : out_(out) { out_.Put(opening); }

  CallLine& Number(std::string_view field, int64_t value) {
    out_.Put(field);
    out_.Put(std::to_string(value));
    return *this;
  }
  CallLine& Text(std::string_view field, std::u16string_view value) {
    out_.Put(field);
    out_.PutJson(value);
    return *this;
  }
  // [["KEY","VALUE"],...] from texts that alternate key and value.
  CallLine& Pairs(std::string_view field, const std::vector<Bstr>& keysAndValues) {
    out_.Put(field);
    out_.Put("[");
    for (std::size_t i = 0; i < keysAndValues.size(); i += 2) {
      out_.Put(i == 0 ? "[" : ",[");
      out_.PutJson(keysAndValues[i].view());
      out_.Put(",");
      out_.PutJson(keysAndValues[i + 1].view());
      out_.Put("]");
    }
    out_.Put("]");
    return *this;
  }
  void End() { out_.Put("}\n"); }

 private:
  Output& out_;
};

class DumpHandler final : public ostrel::com::DispatchObject<DumpHandler, _IXmlHandler> {
 public:
  static const ostrel::com::DispatchTable<DumpHandler>& Members() { return ostrel::XmlHandlerMembers<DumpHandler>(); }

  explicit DumpHandler(Output& output) : output_(output) {}

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override {
    CallLine(output_, R"({"call":"ErrElement")")
        .Number(R"(,"ln":)", *ln)
        .Text(R"(,"msg":)", View(*msg))
        .Text(R"(,"content":)", View(*content))
        .End();
    return S_OK;
  }
  // The list is read before anything is written, so a list that raises
  // leaves no half line.
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override {
    return ostrel::com::Guard([&] {
      if (!*parmList) ostrel::com::Raise(ostrel::com::errnum::kObjectNotSet);
      ReadPairs(**parmList);
      CallLine(output_, R"({"call":"StartElement","tagname":)")
          .Text("", View(*tagname))
          .Pairs(R"(,"parmList":)", keysAndValues_)
          .End();
    });
  }
  HRESULT EndElement(BSTR* tagname) override {
    CallLine(output_, R"({"call":"EndElement","tagname":)").Text("", View(*tagname)).End();
    return S_OK;
  }
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override {
    CallLine(output_, R"({"call":"contentData","tagname":)")
        .Text("", View(*tagname))
        .Text(R"(,"contentData":)", View(*contentData))
        .End();
    return S_OK;
  }

 private:
  // Into texts kept from one tag to the next; "" is the key of an entry
  // filed without one.
  void ReadPairs(Collection& list) {
    int32_t count = 0;
    Check(list.Count(&count));
    keysAndValues_.resize(2 * static_cast<std::size_t>(std::max(count, 0)));
    for (int32_t position = 1; position <= count; ++position) {
      VARIANT index;
      index.vt = VT_I4;
      index.lVal = position;
      Check(list.Key(&position, keysAndValues_[2 * (position - 1)].Receive()));
      Check(list.Item(&index, keysAndValues_[2 * (position - 1) + 1].Receive()));
    }
  }

  Output& output_;
  std::vector<Bstr> keysAndValues_;
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
  Output output;
  const auto handler = ostrel::com::ComPtr<_IXmlHandler>::Attach(new DumpHandler(output));
  Bstr filename(ostrel::com::FromFileName(file));
  try {
    const int16_t result = lateBound ? SetDataByName(*reader.get(), filename, handler.get())
                                     : SetDataBySlot(*reader.get(), filename, handler.get());
    CallLine(output, R"({"call":"SetData")").Number(R"(,"result":)", result).End();
    return result == 0 ? 0 : 2;
  } catch (const ostrel::com::RuntimeError& error) {
    CallLine(output, R"({"call":"SetData")")
        .Number(R"(,"error":)", error.number())
        .Text(R"(,"description":)", error.description())
        .End();
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const tools::CommandLine line(kTool, argc, argv);
  if (line.finished()) return *line.finished();
  return Dump(line.operands().front(), line.Has("--late-bound"));
}
