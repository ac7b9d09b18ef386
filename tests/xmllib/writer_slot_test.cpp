// Writers and readers share the one file slot: while one of them has a file
// open, every other open fails, and the file that is open is not disturbed.
#include <gtest/gtest.h>

#include <string>

#include <ostrel/com/com_runtime.h>
#include "tests/xmllib/writer_fixture.h"

namespace ostrel_test {
namespace {

// Tries to open a file with WRITER from inside the reader's first callback.
class OpeningHandler final : public ostrel::com::DispatchObject<OpeningHandler, _IXmlHandler> {
 public:
  OpeningHandler(Writer& writer, std::u16string filename) : writer_(writer), filename_(std::move(filename)) {}
  static const ostrel::com::DispatchTable<OpeningHandler>& Members() {
    static const ostrel::com::DispatchTable<OpeningHandler> none;
    return none;
  }
  HRESULT ErrElement(int32_t*, BSTR*, BSTR*) override { return S_OK; }
  HRESULT StartElement(BSTR*, Collection**) override {
    if (!tried) opened = writer_.XmlOpen(filename_);
    tried = true;
    return S_OK;
  }
  HRESULT EndElement(BSTR*) override { return S_OK; }
  HRESULT contentData(BSTR*, BSTR*) override { return S_OK; }

  bool tried = false;
  bool opened = true;

 private:
  Writer& writer_;
  std::u16string filename_;
};

class FileSlotSharing : public WriterTest {
 protected:
  int16_t Read(const std::u16string& filename, _IXmlHandler* handler) {
    auto reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
    ostrel::com::Bstr name(filename);
    int16_t status = 1;
    ostrel::com::Check(reader->SetData(name.Address(), &handler, &status));
    return status;
  }
  std::string OpenFailed(const std::u16string& filename) { return Utf8(filename) + "のオープンに失敗しました。"; }

  Writer second;
};

TEST_F(FileSlotSharing, SecondWriterCannotOpenUntilTheFirstHasClosed) {
  ASSERT_TRUE(writer.XmlOpen(PathOf("first.xml")));
  EXPECT_FALSE(second.XmlOpen(PathOf("second.xml")));
  EXPECT_EQ(messageBoxes, std::vector{Box(OpenFailed(PathOf("second.xml")))});
  EXPECT_TRUE(writer.WriteOneEllement(0, u"<first/>"));
  ASSERT_TRUE(writer.XmlClose());

  EXPECT_TRUE(second.XmlOpen(PathOf("second.xml")));
  EXPECT_TRUE(second.XmlClose());
  EXPECT_EQ(Body("first.xml"), "<first/>\r\n");
}

TEST_F(FileSlotSharing, ReleasingTheFirstWriterLetsTheSecondOpen) {
  ASSERT_TRUE(writer.XmlOpen(PathOf("first.xml")));
  writer.Release();
  EXPECT_TRUE(second.XmlOpen(PathOf("second.xml")));
  EXPECT_TRUE(second.XmlClose());
}

TEST_F(FileSlotSharing, ReaderCannotOpenWhileAWriterHasItsFile) {
  const std::u16string input = WriteLines("in.xml", {"<a>x</a>"});
  ASSERT_TRUE(writer.XmlOpen(PathOf("out.xml")));
  auto handler = RecordingHandler::Create();
  EXPECT_EQ(ErrorOf([&] { Read(input, handler.get()); }).number(), ostrel::com::errnum::kFileAlreadyOpen);
  EXPECT_TRUE(handler->calls.empty());
  EXPECT_TRUE(writer.WriteOneEllement(0, u"<after/>"));
  ASSERT_TRUE(writer.XmlClose());
  EXPECT_EQ(Body("out.xml"), "<after/>\r\n");
}

TEST_F(FileSlotSharing, WriterCannotOpenWhileAReaderIsReading) {
  const std::u16string input = WriteLines("in.xml", {"<a>x</a>"});
  auto handler = ostrel::com::ComPtr<OpeningHandler>::Attach(new OpeningHandler(writer, PathOf("out.xml")));
  EXPECT_EQ(Read(input, handler.get()), 0);
  EXPECT_TRUE(handler->tried);
  EXPECT_FALSE(handler->opened);
  EXPECT_EQ(messageBoxes, std::vector{Box(OpenFailed(PathOf("out.xml")))});
  EXPECT_TRUE(writer.XmlOpen(PathOf("out.xml")));
  EXPECT_TRUE(writer.XmlClose());
}

}  // namespace
}  // namespace ostrel_test
