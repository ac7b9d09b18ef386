#include "tests/memoapp/memo_file_fixture.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "memoapp/memo_file_handler.h"
#include <ostrel/com/com_runtime.h>
#include "runtime/cp932.h"
#include <ostrel/com/error_info.h>
#include <ostrel/com/text.h>
#include "runtime/unicode.h"
#include <ostrel/ostrel.h>

using ostrel::com::Bstr;
using ostrel::com::ComPtr;

bool operator==(const CMemoData& a, const CMemoData& b) { return a.title == b.title && a.sentence == b.sentence; }

void PrintTo(const CMemoData& memo, std::ostream* out) {
  *out << "{title \"" << ostrel::com::ToUtf8(memo.title) << "\", sentence \"" << ostrel::com::ToUtf8(memo.sentence)
       << "\"}";
}

void MemoFileTest::SetUp() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "-" + test->name();
  for (char& c : name) {
    if (c == '/') c = '-';
  }
  folder_ = std::filesystem::temp_directory_path() / ("memoapp-" + std::to_string(::getpid()) + "-" + name);
  std::filesystem::create_directories(folder_);
  savedSink_ = ostrel::com::SetMessageBoxSink(
      {[](void* test, std::u16string_view text, std::u16string_view) {
         static_cast<MemoFileTest*>(test)->messages_.emplace_back(text);
       },
       this});
  ModuleMemoData::InitMemoData();
}

void MemoFileTest::TearDown() {
  ostrel::com::SetMessageBoxSink(savedSink_);
  std::filesystem::remove_all(folder_);
}

std::u16string MemoFileTest::PathOf(std::string_view name) const { return (folder_ / name).u16string(); }

std::u16string MemoFileTest::WriteFile(std::string_view name, const std::vector<std::u16string>& lines) const {
  const std::u16string path = PathOf(name);
  std::string bytes;
  ostrel::com::Cp932Encoder encoder;
  for (const std::u16string& line : lines) encoder.Encode(line + u"\r\n", bytes);
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
  return path;
}

int16_t MemoFileTest::Read(const std::u16string& path) {
  const auto reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
  auto handler = NewCXmlMemoReader().As<_IXmlHandler>();
  Bstr filename(path);
  int16_t result = 1;
  ostrel::com::Check(reader->SetData(filename.Address(), handler.Address(), &result));
  return result;
}

void MemoFileTest::Store(const std::vector<CMemoData>& memos) {
  ModuleMemoData::InitMemoData();
  for (const CMemoData& memo : memos) ModuleMemoData::AddMemoData(memo.title, memo.sentence);
}

std::vector<CMemoData> MemoFileTest::StoredMemos() {
  std::vector<CMemoData> memos;
  for (int n = 1; n <= ModuleMemoData::memoCount; ++n) memos.push_back(*ModuleMemoData::memoData(n));
  return memos;
}

int32_t MemoFileTest::WriteData(const std::u16string& path, std::u16string* description) {
  Bstr filename(path);
  try {
    ostrel::com::Check(NewCXmlMemoReader()->WriteData(filename.Address()));
    return 0;
  } catch (const ostrel::com::RuntimeError& error) {
    if (description) *description = error.description();
    return error.number();
  }
}

std::string MemoFileTest::Bytes(const std::u16string& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::u16string> MemoFileTest::Lines(const std::u16string& path) {
  const std::string bytes = Bytes(path);
  std::u16string text(bytes.size(), u'\0');
  text.resize(ostrel::com::Cp932Decoder().Decode(bytes, text.data(), true).unitsWritten);
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the last line has no CR LF";
  return lines;
}
