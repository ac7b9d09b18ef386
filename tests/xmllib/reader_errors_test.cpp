// Run-time errors that pass out of SetData: each fails the call with its
// number, and the reader gives the file slot back all the same.
#include <string>
#include <vector>

#include "tests/xmllib/xml_test_support.h"
#include "xmllib/reader.h"

namespace {

using ostrel_test::RecordingHandler;
using Calls = std::vector<std::string>;

class ReaderErrorTest : public ostrel_test::XmlFileTest {
 protected:
  // The error number that SetData on FILENAME fails with; 0 when it succeeds.
  int32_t FailureOf(const std::u16string& filename, _IXmlHandler* handle) {
    ostrel::com::Bstr name(filename);
    int16_t result = 0;
    const HRESULT status = reader->SetData(name.Address(), &handle, &result);
    if (!Failed(status)) return 0;
    const ostrel::com::RuntimeError error = ostrel::com::ErrorFromStatus(status);
    lastDescription = error.description();
    return error.number();
  }
  int32_t FailureOf(std::initializer_list<std::string_view> lines) {
    return FailureOf(WriteLines("input.xml", lines), handler.get());
  }

  // The slot is free when another file can be opened in it.
  void ExpectFileSlotFree() {
    EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
    const std::u16string next = WriteLines("next.xml", {"<n/>"});
    auto other = RecordingHandler::Create();
    EXPECT_EQ(FailureOf(next, other.get()), 0);
    EXPECT_EQ(other->calls, (Calls{"StartElement(n)", "EndElement(n)", "contentData(n, )", "contentData(, )"}));
  }

  ostrel::com::ComPtr<ostrel::CXmlReader> reader = ostrel::com::ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  ostrel::com::ComPtr<RecordingHandler> handler = RecordingHandler::Create();
  std::u16string lastDescription;
};

TEST_F(ReaderErrorTest, RepeatedAttributeNameFailsWithDuplicateKey) {
  EXPECT_EQ(FailureOf({"<m>", "<a x=\"1\" X=\"2\">", "<b/>"}), ostrel::com::errnum::kDuplicateKey);
  EXPECT_EQ(handler->calls, (Calls{"StartElement(m)"}));
  ExpectFileSlotFree();
}

TEST_F(ReaderErrorTest, TagBeyondTheLastPositionFailsWithOverflow) {
  EXPECT_EQ(FailureOf({"<a>", "<" + std::string(32766, 'b') + ">"}), ostrel::com::errnum::kOverflow);
  EXPECT_EQ(handler->calls, (Calls{"StartElement(a)"}));
  ExpectFileSlotFree();
}

TEST_F(ReaderErrorTest, FailingCallbackEndsTheReadWithItsError) {
  handler->failingCall = "EndElement";
  EXPECT_EQ(FailureOf({"<a><b></b></a>"}), RecordingHandler::kHandlerError);
  EXPECT_EQ(lastDescription, u"handler refused");
  EXPECT_EQ(handler->calls, (Calls{"StartElement(a)", "StartElement(b)", "EndElement(b)"}));
  ExpectFileSlotFree();
}

TEST_F(ReaderErrorTest, FailingErrorReportStillFreesTheSlot) {
  handler->failingCall = "ErrElement";
  EXPECT_EQ(FailureOf({"</a>"}), RecordingHandler::kHandlerError);
  ExpectFileSlotFree();
}

TEST_F(ReaderErrorTest, FileSlotTakenByAnotherFileFailsAndStaysWithItsOwner) {
  const std::u16string input = WriteLines("input.xml", {"<a/>"});
  ostrel::com::file_slot::OpenForOutput(PathOf("written.txt"));
  EXPECT_EQ(FailureOf(input, handler.get()), ostrel::com::errnum::kFileAlreadyOpen);
  EXPECT_TRUE(handler->calls.empty());
  ASSERT_TRUE(ostrel::com::file_slot::IsOpen());
  ostrel::com::file_slot::WriteLine(u"still mine");
  ostrel::com::file_slot::Close();
  ExpectFileSlotFree();
}

TEST_F(ReaderErrorTest, MissingHandlerFailsWithObjectNotSet) {
  EXPECT_EQ(FailureOf(WriteLines("input.xml", {"<a/>"}), nullptr), ostrel::com::errnum::kObjectNotSet);
  ExpectFileSlotFree();
}

TEST_F(ReaderErrorTest, MissingHandlerStillGetsTheMessagesForAMissingFile) {
  EXPECT_EQ(FailureOf(u"", nullptr), 0);
  EXPECT_EQ(FailureOf(PathOf("none.xml"), nullptr), 0);
  EXPECT_EQ(messageBoxes.size(), 2u);
}

}  // namespace
