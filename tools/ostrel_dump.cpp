// ostrel-dump: prints the callbacks of Ostrel's CXmlReader for a file, one
// JSON object a line; kHelp below says what it prints and how it exits.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <ostrel/com/collection.h>
#include <ostrel/com/com_runtime.h>
#include <ostrel/com/dispatch.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include "runtime/file_error.h"
#include "runtime/unit_search.h"
#include "runtime/unicode.h"
#include "tools/json.h"
#include "tools/tool_main.h"
#include <ostrel/handler_members.h>
#include <ostrel/ostrel.h>

namespace {

using ostrel::com::Bstr;
using ostrel::com::Check;
using ostrel::com::View;

constexpr std::string_view kHelp =
    R"(Usage: ostrel-dump [--late-bound] [--] FILE
Read FILE with Ostrel's CXmlReader, created by class identifier through the
component model, and print every callback it makes as one JSON object a
line, in call order, then how SetData ended:

  {"call":"StartElement","tagname":"a","parmList":[["x","1"]]}

  {"call":"SetData","result":0}

Options:
  --late-bound  call SetData by name through IDispatch instead of through its
                slot; the output is the same
  --help        print this help and exit
  --version     print the version and exit

Exit status:
  0 when SetData returned 0, 2 when it returned -1 or on a usage error, 1
  when the call or the creation of the reader failed, 3 when standard output
  cannot be written (a full disk, a closed descriptor, a reader that went
  away), which ends the reading at once.
)";

constexpr tools::Option kOptions[] = {{"--late-bound", false}};
constexpr tools::ToolDescription kTool{"ostrel-dump", kHelp, kOptions, 1};

// Standard output, handed to the system a block at a time: a dump has a line
// for every callback. Texts are converted and escaped straight into the
// block. After a failed write the blocks are dropped (standard_output.h).
class Output {
 public:
  Output() : block_(kBlock, '\0'), at_(block_.data()) {}
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() { Flush(); }

  // Where BYTES bytes can be written; Keep then takes what was written.
  char* Room(std::size_t bytes) {
    if (bytes > static_cast<std::size_t>(block_.data() + block_.size() - at_)) MakeRoom(bytes);
    return at_;
  }
  void Keep(char* end) { at_ = end; }

  void Flush() {
    tools::WriteOutput(std::string_view(block_.data(), static_cast<std::size_t>(at_ - block_.data())));
    at_ = block_.data();
  }

 private:
  static constexpr std::size_t kBlock = 64 * 1024;

  void MakeRoom(std::size_t bytes) {
    Flush();
    if (bytes > block_.size()) {
      block_.resize(bytes);
      at_ = block_.data();
    }
  }

  std::string block_;
  char* at_;  // the end of what the block holds
};

// The JSON of the name made last, between fixed texts BEFORE and AFTER,
// made again only for another name: the start, content and end of an
// element repeat its name, and a memo file has few names of tags and
// attributes. A line's opening up to its tag name's field is one of these,
// so it is copied whole.
class NameJson {
 public:
  NameJson(std::string_view before, std::string_view after) : before_(before), after_(after) { Make(u""); }

  std::string_view Of(std::u16string_view name) {
    if (!ostrel::com::SameUnits(name, name_)) Make(name);
    return json_;
  }

 private:
  void Make(std::u16string_view name) {
    name_.assign(name);
    json_.assign(before_).append(tools::JsonString(name)).append(after_);
  }

  std::string_view before_, after_;
  std::u16string name_;
  std::string json_;
};

// One JSON object on one line: {"call":"NAME","field":value,...}, written
// straight into the output, which is asked for room once a line: TEXTS_ROOM
// for the JSON of its texts (TextRoom, PairsRoom) and a fixed amount for the
// rest. FIELD names the field with its quotes, comma and colon, as in
// ",\"ln\":".
class CallLine {
 public:
  CallLine(Output& out, std::string_view opening, std::size_t textsRoom)
      : out_(out), at_(out.Room(kOtherRoom + textsRoom)) {
    Put(opening);
  }

  static std::size_t TextRoom(std::u16string_view text) { return tools::JsonStringRoom(text.size()); }
  // The pairs' texts and their brackets and commas.
  static std::size_t PairsRoom(std::span<const ostrel::com::EntryView> entries) {
    std::size_t room = 0;
    for (const auto& entry : entries) room += TextRoom(entry.key) + TextRoom(entry.value) + kPairPunctuation;
    return room;
  }

  CallLine& Number(std::string_view field, int64_t value) {
    Put(field);
    at_ = std::to_chars(at_, at_ + kNumberRoom, value).ptr;
    return *this;
  }
  CallLine& Text(std::string_view field, std::u16string_view value) {
    Put(field);
    at_ = tools::PutJsonString(value, at_);
    return *this;
  }
  // [["KEY","VALUE"],...], each pair's opening ["KEY", made by KEYS.
  CallLine& Pairs(std::span<const ostrel::com::EntryView> entries, NameJson& keys) {
    Put("[");
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (i != 0) Put(",");
      Put(keys.Of(entries[i].key));
      at_ = tools::PutJsonString(entries[i].value, at_);
      Put("]");
    }
    Put("]");
    return *this;
  }
  void End() {
    Put("}\n");
    out_.Keep(at_);
  }

 private:
  static constexpr std::size_t kNumberRoom = 20;       // "-9223372036854775808"
  static constexpr std::size_t kPairPunctuation = 4;   // ",[" "," "]"
  // More than the call, field names, numbers and brackets of any line take.
  static constexpr std::size_t kOtherRoom = 128;

  void Put(std::string_view text) {
    std::memcpy(at_, text.data(), text.size());
    at_ += text.size();
  }

  Output& out_;
  char* at_;
};

class DumpHandler final : public ostrel::com::DispatchObject<DumpHandler, _IXmlHandler> {
 public:
  static const ostrel::com::DispatchTable<DumpHandler>& Members() { return ostrel::XmlHandlerMembers<DumpHandler>(); }

  explicit DumpHandler(Output& output) : output_(output) {}

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override {
    CallLine(output_, R"({"call":"ErrElement")", CallLine::TextRoom(View(*msg)) + CallLine::TextRoom(View(*content)))
        .Number(R"(,"ln":)", *ln)
        .Text(R"(,"msg":)", View(*msg))
        .Text(R"(,"content":)", View(*content))
        .End();
    return Written();
  }
  // The list is read before anything is written, so a list that raises
  // leaves no half line.
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override {
    return ostrel::com::Guard([&] {
      if (!*parmList) ostrel::com::Raise(ostrel::com::errnum::kObjectNotSet);
      ReadPairs(**parmList);
      CallLine(output_, startOpenings_.Of(View(*tagname)), CallLine::TextRoom(View(*tagname)) + CallLine::PairsRoom(entries_))
          .Pairs(entries_, keys_)
          .End();
      RequireOutput();
    });
  }
  HRESULT EndElement(BSTR* tagname) override {
    CallLine(output_, endOpenings_.Of(View(*tagname)), CallLine::TextRoom(View(*tagname))).End();
    return Written();
  }
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override {
    CallLine(output_, contentOpenings_.Of(View(*tagname)),
             CallLine::TextRoom(View(*tagname)) + CallLine::TextRoom(View(*contentData)))
        .Text("", View(*contentData))
        .End();
    return Written();
  }

 private:
  // Once the output is lost the read ends: nobody would see the rest.
  static void RequireOutput() {
    if (const int error = tools::OutputError()) ostrel::com::RaiseFileError(error, ostrel::com::FileUse::kOutput);
  }
  static HRESULT Written() { return ostrel::com::Guard(RequireOutput); }

  // The reader's own list is read in place; any other through its interface,
  // into texts kept from one tag to the next. "" is the key of an entry filed
  // without one.
  void ReadPairs(Collection& list) {
    if (ostrel::com::ViewEntries(list, &entries_)) return;
    int32_t count = 0;
    Check(list.Count(&count));
    copies_.resize(2 * static_cast<std::size_t>(std::max(count, 0)));
    copiedEntries_.resize(static_cast<std::size_t>(std::max(count, 0)));
    for (int32_t position = 1; position <= count; ++position) {
      VARIANT index;
      index.vt = VT_I4;
      index.lVal = position;
      Bstr& key = copies_[2 * (position - 1)];
      Bstr& value = copies_[2 * (position - 1) + 1];
      Check(list.Key(&position, key.Receive()));
      Check(list.Item(&index, value.Receive()));
      copiedEntries_[position - 1] = {key.view(), value.view()};
    }
    entries_ = copiedEntries_;
  }

  Output& output_;
  std::span<const ostrel::com::EntryView> entries_;  // the list's own, or copiedEntries_
  std::vector<ostrel::com::EntryView> copiedEntries_;
  std::vector<Bstr> copies_;
  NameJson startOpenings_{R"({"call":"StartElement","tagname":)", R"(,"parmList":)"};
  NameJson contentOpenings_{R"({"call":"contentData","tagname":)", R"(,"contentData":)"};
  NameJson endOpenings_{R"({"call":"EndElement","tagname":)", ""};
  NameJson keys_{"[", ","};
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
    CallLine(output, R"({"call":"SetData")", 0).Number(R"(,"result":)", result).End();
    return result == 0 ? 0 : 2;
  } catch (const ostrel::com::RuntimeError& error) {
    CallLine(output, R"({"call":"SetData")", CallLine::TextRoom(error.description()))
        .Number(R"(,"error":)", error.number())
        .Text(R"(,"description":)", error.description())
        .End();
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  return tools::RunTool(kTool, argc, argv,
                        [](const tools::CommandLine& line) { return Dump(line.operands().front(), line.Has("--late-bound")); });
}
