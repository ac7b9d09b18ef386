// Hostile input: shapes of file that an ordinary memo file never has, each of
// which must end in a clear result (a read, a run-time error or a message)
// without a crash, a hang, recursion or memory that grows with the input.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/xmllib/xml_test_support.h"
#include <ostrel/handler_members.h>
#include "xmllib/reader.h"

namespace {

using ostrel_test::RecordingHandler;
using Calls = std::vector<std::string>;

// Counts what it is told instead of recording it, for inputs of millions of
// tokens; BEFORESTART runs inside each StartElement.
class CountingHandler final : public ostrel::com::DispatchObject<CountingHandler, _IXmlHandler> {
 public:
  static const ostrel::com::DispatchTable<CountingHandler>& Members() {
    return ostrel::XmlHandlerMembers<CountingHandler>();
  }
  HRESULT ErrElement(int32_t*, BSTR* msg, BSTR*) override {
    errors.push_back(ostrel_test::Utf8(ostrel::com::View(*msg)));
    return S_OK;
  }
  HRESULT StartElement(BSTR* tagname, Collection**) override {
    ++starts;
    if (onStart) onStart(ostrel::com::View(*tagname));
    return S_OK;
  }
  HRESULT EndElement(BSTR*) override {
    ++ends;
    return S_OK;
  }
  HRESULT contentData(BSTR*, BSTR* contentData) override {
    characters += SysStringLen(*contentData);
    return S_OK;
  }

  int64_t starts = 0;
  int64_t ends = 0;
  int64_t characters = 0;
  std::vector<std::string> errors;
  std::function<void(std::u16string_view)> onStart;
};

// Peak resident memory of this process so far, in kilobytes.
int64_t PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stoll(line.substr(6));
  }
  return -1;
}

class HostileInputTest : public ostrel_test::XmlFileTest {
 protected:
  // The error number SetData fails with; 0 when it succeeds.
  int32_t Read(const std::u16string& filename, _IXmlHandler* handle) {
    ostrel::com::Bstr name(filename);
    result = 1;
    const HRESULT status = reader->SetData(name.Address(), &handle, &result);
    return Failed(status) ? ostrel::com::ErrorFromStatus(status).number() : 0;
  }
  // A memo file of COUNT one-line memos, each about fifty bytes.
  std::u16string MemoFile(const std::string& name, int count) {
    std::string bytes = "<Memo>\r\n";
    for (int i = 0; i < count; ++i) bytes += "\t<sentence Title=\"t" + std::to_string(i) + "\">body of a memo</sentence>\r\n";
    return WriteBytes(name, bytes + "</Memo>\r\n");
  }

  ostrel::com::ComPtr<ostrel::CXmlReader> reader = ostrel::com::ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  ostrel::com::ComPtr<CountingHandler> counter = ostrel::com::ComPtr<CountingHandler>::Attach(new CountingHandler());
  int16_t result = 1;
};

TEST_F(HostileInputTest, MillionNestedStartTagsAreReadWithoutRecursion) {
  constexpr int kDepth = 1'000'000;
  std::string opening;
  std::string closing;
  for (int i = 0; i < kDepth; ++i) opening += "<a>";
  for (int i = 0; i < kDepth; ++i) closing += "</a>";
  EXPECT_EQ(Read(WriteBytes("deep.xml", opening + "\r\n" + closing + "\r\n"), counter.get()), 0);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(counter->starts, kDepth);
  EXPECT_EQ(counter->ends, kDepth);
  EXPECT_TRUE(counter->errors.empty());
}

TEST_F(HostileInputTest, MillionUnclosedStartTagsReportTheOutermost) {
  std::string opening = "<outer>";
  for (int i = 0; i < 1'000'000; ++i) opening += "<a>";
  const std::u16string path = WriteBytes("open.xml", opening);
  EXPECT_EQ(Read(path, counter.get()), 0);
  EXPECT_EQ(counter->errors, (Calls{ostrel_test::Utf8(path) + "で未処理のタグ (outer) があります。"}));
}

// Memory is bounded by the longest token, not by the line: the line is read
// in pieces, and what its elements leave behind is let go.
TEST_F(HostileInputTest, LineOf200MegabytesIsReadInBoundedMemory) {
  constexpr int64_t kLineBytes = 200'000'000;
  const std::string element = "<m>" + std::string(993, 'x') + "</m>";
  const std::string path = (folder_ / "wide.xml").string();
  {
    std::ofstream file(path, std::ios::binary);
    for (int64_t written = 0; written < kLineBytes; written += static_cast<int64_t>(element.size())) file << element;
  }
  const int64_t peakBefore = PeakResidentKb();
  EXPECT_EQ(Read(ostrel::com::FromUtf8(path), counter.get()), 0);
  std::filesystem::remove(path);
  const int64_t elements = (kLineBytes + static_cast<int64_t>(element.size()) - 1) / static_cast<int64_t>(element.size());
  EXPECT_EQ(counter->starts, elements);
  EXPECT_EQ(counter->characters, elements * 993);
  // Held as UTF-16 the line would take 400 MB; the longest token here is a
  // thousand characters.
#ifndef __SANITIZE_ADDRESS__
  // AddressSanitizer keeps freed blocks in quarantine, so the bound only
  // holds in a plain build.
  EXPECT_LT(PeakResidentKb() - peakBefore, 32 * 1024);
#else
  (void)peakBefore;
#endif
}

TEST_F(HostileInputTest, FileOfNulBytesIsBlank) {
  EXPECT_EQ(Read(WriteBytes("nul.xml", std::string(1000, '\0')), counter.get()), 0);
  EXPECT_EQ(counter->starts, 0);
  EXPECT_TRUE(counter->errors.empty());
}

TEST_F(HostileInputTest, LineOfTooManyNulBytesOverflows) {
  EXPECT_EQ(Read(WriteBytes("nuls.xml", std::string(100'000, '\0')), counter.get()), ostrel::com::errnum::kOverflow);
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
}

// Each byte that is no CP932 stands in the text as U+FFFD, and the bytes
// around it are read as if it were an ordinary character.
TEST_F(HostileInputTest, InvalidCp932BytesBecomeReplacementCharacters) {
  auto handler = RecordingHandler::Create();
  const std::u16string path =
      WriteBytes("invalid.xml", "<a\xff x=\"\x81\">\x80\xa0\x85\x40</a\xfd>\r\n<b>\xeb\x40</b>\r\n<c>\x81");
  EXPECT_EQ(Read(path, handler.get()), 0);
  EXPECT_EQ(handler->calls, (Calls{"StartElement(a\uFFFD; x=\uFFFD)", "contentData(a\uFFFD, \uFFFD\uFFFD\uFFFD@)",
                                   "EndElement(a\uFFFD)", "StartElement(b)", "contentData(b, \uFFFD@)",
                                   "EndElement(b)", "StartElement(c)", "contentData(c, )",
                                   "ErrElement(9, " + ostrel_test::Utf8(path) + "で未処理のタグ (c) があります。, )"}));
}

// The reader holds the file open, so a name removed mid-read changes nothing.
TEST_F(HostileInputTest, FileDeletedWhileReadIsReadToTheEnd) {
  constexpr int kMemos = 10'000;
  const std::u16string path = MemoFile("deleted.xml", kMemos);
  counter->onStart = [&](std::u16string_view) { std::filesystem::remove(folder_ / "deleted.xml"); };
  EXPECT_EQ(Read(path, counter.get()), 0);
  EXPECT_EQ(counter->starts, kMemos + 1);
  EXPECT_TRUE(counter->errors.empty());
}

// What was read before the cut is reported; the cut itself is an end of the
// input with the memo file's element still open.
TEST_F(HostileInputTest, FileTruncatedWhileReadEndsAsAnUnfinishedFile) {
  constexpr int kMemos = 10'000;
  const std::u16string path = MemoFile("cut.xml", kMemos);
  const std::string bytesPath = ostrel_test::Utf8(path);
  counter->onStart = [&](std::u16string_view) { ASSERT_EQ(::truncate(bytesPath.c_str(), 0), 0); };
  EXPECT_EQ(Read(path, counter.get()), 0);
  EXPECT_GT(counter->starts, 1);
  EXPECT_LT(counter->starts, kMemos + 1);
  EXPECT_EQ(counter->errors, (Calls{bytesPath + "で未処理のタグ (Memo) があります。"}));
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
}

TEST_F(HostileInputTest, FolderIsNoMemoFile) {
  std::filesystem::create_directory(folder_ / "memo.xml");
  EXPECT_EQ(Read(PathOf("memo.xml"), counter.get()), 0);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(messageBoxes, (std::vector<ostrel_test::MessageBoxShown>{
                              {"XMLファイル (" + ostrel_test::Utf8(PathOf("memo.xml")) + "）のオープンに失敗しました。",
                               "Ostrel"}}));
  EXPECT_EQ(counter->starts, 0);
}

// A FIFO without a writer would block a plain open for ever; the alarm turns
// such a hang into a failed test instead of a stuck one.
TEST_F(HostileInputTest, FifoFailsInsteadOfWaiting) {
  const std::string fifo = (folder_ / "memo.xml").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ::alarm(10);
  EXPECT_EQ(Read(ostrel::com::FromUtf8(fifo), counter.get()), ostrel::com::errnum::kPathFileAccess);
  ::alarm(0);
  EXPECT_EQ(counter->starts, 0);
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
}

}  // namespace
