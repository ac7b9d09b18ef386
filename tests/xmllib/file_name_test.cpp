// File names through the reader and the writer: a name whose bytes are not
// UTF-8 reaches exactly its own file, and a text that stands for no bytes
// reaches none.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <ostrel/com/com_ptr.h>
#include "runtime/unicode.h"
#include "tests/xmllib/xml_test_support.h"
#include "xmllib/reader.h"
#include "xmllib/writer.h"

namespace {

using ostrel::com::Bstr;
using ostrel::com::ComPtr;

class FileNameTest : public ostrel_test::XmlFileTest {
 protected:
  // FILE, bytes that need not be UTF-8, in the scratch folder, as a text.
  std::u16string NameOf(const std::string& file) const {
    return ostrel::com::FromFileName((folder_ / file).native());
  }

  void Put(const std::string& file, const std::string& bytes) {
    std::ofstream(folder_ / file, std::ios::binary) << bytes;
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) names.push_back(entry.path().filename());
    return names;
  }

  // The calls a read of NAME makes; the read must succeed.
  std::vector<std::string> Read(const std::u16string& name) {
    const auto reader = ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
    return ostrel_test::CallsOfSetData(*reader.get(), name);
  }

  bool Open(const std::u16string& name) {
    const auto writer = ComPtr<ostrel::CXmlWriter>::Attach(new ostrel::CXmlWriter());
    Bstr filename(name);
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(writer->XmlOpen(filename.Address(), &result), S_OK);
    return result != VARIANT_FALSE;
  }
};

// "café.xml" in Latin-1 beside the file its byte would turn into when decoded
// with a replacement character.
TEST_F(FileNameTest, ReaderOpensTheFileOfTheVeryBytesNamed) {
  Put("caf\xE9.xml", "<a>latin-1</a>\r\n");
  Put("caf\xEF\xBF\xBD.xml", "<a>replaced</a>\r\n");
  EXPECT_EQ(Read(NameOf("caf\xE9.xml")),
            (std::vector<std::string>{"StartElement(a)", "contentData(a, latin-1)", "EndElement(a)",
                                      "contentData(, )"}));
}

// U+FFFD is a character like any other when a name really holds it.
TEST_F(FileNameTest, NameHoldingARealReplacementCharacterReachesItsFile) {
  Put("caf\xEF\xBF\xBD.xml", "<a>replaced</a>\r\n");
  const std::u16string folder = NameOf("");
  EXPECT_EQ(Read(folder + u"caf\uFFFD.xml"),
            (std::vector<std::string>{"StartElement(a)", "contentData(a, replaced)", "EndElement(a)",
                                      "contentData(, )"}));
  EXPECT_TRUE(Open(folder + u"new\uFFFD.xml"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "new\xEF\xBF\xBD.xml"));
}

TEST_F(FileNameTest, WriterCreatesTheFileOfTheVeryBytesNamed) {
  EXPECT_TRUE(Open(NameOf("\xFF\xFE name.xml")));
  EXPECT_EQ(Files(), std::vector<std::string>{"\xFF\xFE name.xml"});
}

// A surrogate that carries no byte, or carried bytes that read as other text,
// would otherwise name a file nobody named: nothing is opened or created.
TEST_F(FileNameTest, TextThatStandsForNoBytesNamesNoFile) {
  Put("s\xEF\xBF\xBD.xml", "<a>replaced</a>\r\n");
  Put("caf\xC3\xA9.xml", "<a>utf-8</a>\r\n");
  const std::u16string folder = NameOf("");
  for (const std::u16string& name :
       {folder + u"s\xD800.xml", folder + u"s\xDFFF.xml", folder + u"s\xDC41.xml", folder + u"caf\xDCC3\xDCA9.xml"}) {
    messageBoxes.clear();
    EXPECT_FALSE(Open(name));
    ASSERT_EQ(messageBoxes.size(), 1u);
    EXPECT_NE(messageBoxes[0].text.find("のオープンに失敗しました。"), std::string::npos);

    const auto reader = ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
    Bstr filename(name);
    _IXmlHandler* handle = nullptr;
    int16_t result = 0;
    EXPECT_EQ(reader->SetData(filename.Address(), &handle, &result), S_OK);
    EXPECT_EQ(result, -1);
  }
  EXPECT_EQ(Files().size(), 2u);
  std::ifstream untouched(folder_ / "s\xEF\xBF\xBD.xml", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(untouched), {}), "<a>replaced</a>\r\n");
}

}  // namespace
