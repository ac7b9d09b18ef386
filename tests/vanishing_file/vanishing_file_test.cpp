// A file changed between being looked at and being opened. This program
// stands in its own open() for the C library's: once a test arms it, the
// armed name is changed the moment it is opened, which makes the race between
// a look at a file and its open happen every time.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdarg>
#include <functional>
#include <string>
#include <vector>

#include "tests/xmllib/xml_test_support.h"
#include "xmllib/reader.h"

namespace {

std::string armedPath;
std::function<void()> changeArmedFile;

}  // namespace

extern "C" int open(const char* path, int flags, ...) {
  static const auto next = reinterpret_cast<int (*)(const char*, int, ...)>(dlsym(RTLD_NEXT, "open"));
  va_list rest;
  va_start(rest, flags);
  const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(rest, mode_t) : 0;
  va_end(rest);
  if (!armedPath.empty() && armedPath == path) {
    armedPath.clear();
    changeArmedFile();
  }
  return next(path, flags, mode);
}

namespace {

using ostrel_test::MessageBoxShown;
using ostrel_test::RecordingHandler;
using ostrel_test::Utf8;
using Calls = std::vector<std::string>;

struct Change {
  const char* name;
  std::function<void(const std::filesystem::path&)> apply;
  int32_t error;  // SetData fails with it; 0 when it succeeds
  int16_t result;
  bool missingMessage;
  Calls calls;
};

void PrintTo(const Change& change, std::ostream* out) { *out << change.name; }

void WriteOther(const std::filesystem::path& file) {
  std::filesystem::remove(file);
  std::ofstream(file, std::ios::binary) << "<other/>\r\n";
}

const Change kChanges[] = {
    {"Removed", [](const auto& file) { std::filesystem::remove(file); }, 0, -1, true, {}},
    {"ReplacedByAFolder",
     [](const auto& file) {
       std::filesystem::remove(file);
       std::filesystem::create_directory(file);
     },
     0, -1, true, {}},
    {"ReplacedByAFifo",
     [](const auto& file) {
       std::filesystem::remove(file);
       ::mkfifo(file.c_str(), 0600);
     },
     ostrel::com::errnum::kPathFileAccess, 0, false, {}},
    {"ReplacedByAnotherFile", WriteOther, 0, 0, false,
     {"StartElement(other)", "EndElement(other)", "contentData(other, )", "contentData(, )"}},
};

class VanishingFile : public ostrel_test::XmlFileTest, public ::testing::WithParamInterface<Change> {};

TEST_P(VanishingFile, TheOneOpenDecides) {
  const Change& change = GetParam();
  const std::u16string name = WriteLines("input.xml", {"<a/>"});
  armedPath = Utf8(name);
  changeArmedFile = [&] { change.apply(folder_ / "input.xml"); };
  auto reader = ostrel::com::ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  auto handler = RecordingHandler::Create();
  _IXmlHandler* handle = handler.get();
  ostrel::com::Bstr filename(name);
  int16_t result = 1;
  const HRESULT status = reader->SetData(filename.Address(), &handle, &result);
  EXPECT_TRUE(armedPath.empty()) << "the file was never opened";
  armedPath.clear();
  EXPECT_EQ(Failed(status) ? ostrel::com::ErrorFromStatus(status).number() : 0, change.error);
  if (!Failed(status)) {
    EXPECT_EQ(result, change.result);
  }
  const std::vector<MessageBoxShown> missing{{"XMLファイル (" + Utf8(name) + "）のオープンに失敗しました。", "Ostrel"}};
  EXPECT_EQ(messageBoxes, change.missingMessage ? missing : std::vector<MessageBoxShown>{});
  EXPECT_EQ(handler->calls, change.calls);
}

INSTANTIATE_TEST_SUITE_P(Changes, VanishingFile, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
