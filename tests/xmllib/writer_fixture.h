// What the writer's tests share: a writer created by class identifier through
// the registered library, calls that give back the operation's Boolean (a
// failed call raises its run-time error), and the bytes of a written file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <ostrel/com/com_ptr.h>
#include <ostrel/com/com_runtime.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include "tests/xmllib/xml_test_support.h"
#include <ostrel/ostrel.h>

namespace ostrel_test {

class Writer {
 public:
  Writer() : object_(ostrel::com::CreateObject<_CXmlWriter>(ostrel::kCXmlWriterId)) {}

  bool XmlOpen(std::u16string_view filename) {
    ostrel::com::Bstr name(filename);
    return Answer(object_->XmlOpen(name.Address(), &result_));
  }
  bool WriteComment(std::u16string_view comment) {
    ostrel::com::Bstr text(comment);
    return Answer(object_->WriteComment(text.Address(), &result_));
  }
  bool WriteSetEllement(int16_t indentNo, std::u16string_view startTag, std::u16string_view contentData,
                        std::u16string_view endTag) {
    ostrel::com::Bstr start(startTag), content(contentData), end(endTag);
    return Answer(object_->WriteSetEllement(&indentNo, start.Address(), content.Address(), end.Address(), &result_));
  }
  bool WriteOneEllement(int16_t indentNo, std::u16string_view ellement) {
    ostrel::com::Bstr text(ellement);
    return Answer(object_->WriteOneEllement(&indentNo, text.Address(), &result_));
  }
  bool XmlClose() { return Answer(object_->XmlClose(&result_)); }

  _CXmlWriter* get() const { return object_.get(); }
  void Release() { object_.Reset(); }

 private:
  bool Answer(HRESULT status) {
    ostrel::com::Check(status);
    EXPECT_TRUE(result_ == VARIANT_TRUE || result_ == VARIANT_FALSE) << "not a Boolean: " << result_;
    return result_ == VARIANT_TRUE;
  }

  ostrel::com::ComPtr<_CXmlWriter> object_;
  VARIANT_BOOL result_ = VARIANT_FALSE;
};

// The run-time error that CALL raises; number 0 when it raises none.
template <class Call>
ostrel::com::RuntimeError ErrorOf(Call call) {
  try {
    call();
  } catch (const ostrel::com::RuntimeError& error) {
    return error;
  }
  return ostrel::com::RuntimeError(0, u"");
}

class WriterTest : public XmlFileTest {
 protected:
  std::string Bytes(const std::string& name) const {
    std::ifstream file(folder_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  // The bytes after the six header lines.
  std::string Body(const std::string& name) const {
    const std::string bytes = Bytes(name);
    std::size_t end = 0;
    for (int line = 0; line < 6 && end != std::string::npos; ++line) {
      end = bytes.find("\r\n", end);
      if (end != std::string::npos) end += 2;
    }
    EXPECT_NE(end, std::string::npos) << "no complete header in " << name;
    return end == std::string::npos ? std::string() : bytes.substr(end);
  }
  MessageBoxShown Box(std::string_view text) const { return {std::string(text), "Ostrel"}; }

  Writer writer;
};

constexpr std::string_view kNotOpen = "XMLファイルはまだオープンされていません。";

}  // namespace ostrel_test
