// What the library's tests share: a scratch folder for input files written as
// bytes, recorded message boxes, a handler that records its calls, and a check
// that no test leaves the file slot taken.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <ostrel/com/collection.h>
#include <ostrel/com/com_ptr.h>
#include <ostrel/com/dispatch.h>
#include <ostrel/com/error_info.h>
#include "runtime/file_slot.h"
#include <ostrel/com/message_box.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include "runtime/unicode.h"
#include <ostrel/com/attribute_pairs.h>
#include <ostrel/handler_members.h>
#include <ostrel/ostrel.h>

namespace ostrel_test {

inline std::string Utf8(std::u16string_view text) { return ostrel::com::ToUtf8(text); }

// Records each callback as one line, e.g. "StartElement(a; x=1; y='2')",
// "contentData(a, text)", "ErrElement(3, message, content)".
class RecordingHandler final : public ostrel::com::DispatchObject<RecordingHandler, _IXmlHandler> {
 public:
  static ostrel::com::ComPtr<RecordingHandler> Create() {
    return ostrel::com::ComPtr<RecordingHandler>::Attach(new RecordingHandler());
  }
  static const ostrel::com::DispatchTable<RecordingHandler>& Members() {
    return ostrel::XmlHandlerMembers<RecordingHandler>();
  }

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override {
    return Record("ErrElement",
                  std::to_string(*ln) + ", " + Utf8(ostrel::com::View(*msg)) + ", " + Utf8(ostrel::com::View(*content)));
  }
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override {
    if (!keptList) keptList = ostrel::com::ComPtr<Collection>::Share(*parmList);
    listsSeen.push_back(*parmList);
    return Record("StartElement", Utf8(ostrel::com::View(*tagname)) + ListText(**parmList));
  }
  HRESULT EndElement(BSTR* tagname) override { return Record("EndElement", Utf8(ostrel::com::View(*tagname))); }
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override {
    return Record("contentData", Utf8(ostrel::com::View(*tagname)) + ", " + Utf8(ostrel::com::View(*contentData)));
  }

  // "; key=value" for each entry of LIST, in list order.
  static std::string ListText(Collection& list) {
    std::string text;
    for (const auto& [key, value] : ostrel::com::PairsOf(list)) text += "; " + Utf8(key) + "=" + Utf8(value);
    return text;
  }

  std::vector<std::string> calls;
  ostrel::com::ComPtr<Collection> keptList;  // the first parmList it was handed
  std::vector<Collection*> listsSeen;     // every parmList, kept or not
  std::string failingCall;                // this callback fails with kHandlerError
  static constexpr int32_t kHandlerError = 1001;

 private:
  HRESULT Record(const std::string& call, const std::string& arguments) {
    calls.push_back(call + "(" + arguments + ")");
    if (call != failingCall) return S_OK;
    return ostrel::com::ReportError(ostrel::com::RuntimeError(kHandlerError, u"handler refused"));
  }
};

// The calls that reading NAME with READER's SetData makes; the read must
// succeed with 0.
inline std::vector<std::string> CallsOfSetData(_CXmlReader& reader, const std::u16string& name) {
  const auto handler = RecordingHandler::Create();
  ostrel::com::Bstr filename(name);
  _IXmlHandler* handle = handler.get();
  int16_t result = 1;
  EXPECT_EQ(reader.SetData(filename.Address(), &handle, &result), S_OK);
  EXPECT_EQ(result, 0);
  return handler->calls;
}

struct MessageBoxShown {
  std::string text;
  std::string caption;
  bool operator==(const MessageBoxShown&) const = default;
};

inline void PrintTo(const MessageBoxShown& box, std::ostream* out) { *out << box.caption << ": " << box.text; }

class XmlFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("ostrel-" + std::to_string(::getpid()) + "-" + test->test_suite_name() + "-" + test->name());
    std::filesystem::create_directories(folder_);
    savedSink_ = ostrel::com::SetMessageBoxSink({Record, this});
  }
  void TearDown() override {
    ostrel::com::SetMessageBoxSink(savedSink_);
    if (ostrel::com::file_slot::IsOpen()) {
      ADD_FAILURE() << "the file slot was left open";
      ostrel::com::file_slot::Close();
    }
    std::filesystem::remove_all(folder_);
  }

  // A file of LINES, each ended by CR LF; the bytes stand as they are given
  // (CP932 for anything beyond ASCII). Returns its path.
  std::u16string WriteLines(const std::string& name, std::initializer_list<std::string_view> lines) {
    std::string bytes;
    for (std::string_view line : lines) bytes.append(line).append("\r\n");
    return WriteBytes(name, bytes);
  }
  std::u16string WriteBytes(const std::string& name, std::string_view bytes) {
    const std::filesystem::path path = folder_ / name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return ostrel::com::FromUtf8(path.string());
  }
  std::u16string PathOf(const std::string& name) const { return ostrel::com::FromUtf8((folder_ / name).string()); }

  std::filesystem::path folder_;
  std::vector<MessageBoxShown> messageBoxes;

 private:
  static void Record(void* test, std::u16string_view text, std::u16string_view caption) {
    static_cast<XmlFileTest*>(test)->messageBoxes.push_back({Utf8(text), Utf8(caption)});
  }

  ostrel::com::MessageBoxSink savedSink_;
};

}  // namespace ostrel_test
