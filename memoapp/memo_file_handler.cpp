#include "memoapp/memo_file_handler.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "memoapp/memo_line.h"
#include "memoapp/memo_store.h"
#include <ostrel/com/collection.h>
#include <ostrel/com/com_runtime.h>
#include <ostrel/com/dispatch.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/ostrel.h>

namespace {

// Element names are compared exactly, case and all.
constexpr std::u16string_view kSentence = u"sentence";
constexpr std::u16string_view kTitleKey = u"Title";

std::u16string Number(int n) {
  const std::string digits = std::to_string(n);
  return {digits.begin(), digits.end()};
}

// The lines of memos 1..memoCount, checked all before any is written, so a
// memo that cannot be carried leaves an existing file as it was.
std::vector<std::u16string> MemoLines() {
  const int16_t count = ModuleMemoData::memoCount;
  std::vector<std::u16string> lines;
  for (int16_t n = 1; n <= count; ++n) {
    const CMemoData& memo = *ModuleMemoData::memoData(n);
    const std::u16string_view why = memoapp::WhyNotCarried(memo);
    if (!why.empty()) {
      ostrel::com::Raise(ostrel::com::errnum::kInvalidArgument,
                      u"メモ " + Number(n) + u" はメモファイルに書けません。" + std::u16string(why));
    }
    lines.push_back(memoapp::MemoLine(memo));
  }
  return lines;
}

// The writer's result is not looked at: a line that does not go in does not
// stop the lines after it. A run-time error does.
void WriteLine(_CXmlWriter& writer, int16_t indentNo, std::u16string_view text) {
  ostrel::com::Bstr ellement(text);
  VARIANT_BOOL written = VARIANT_FALSE;
  ostrel::com::Check(writer.WriteOneEllement(&indentNo, ellement.Address(), &written));
}

void WriteMemoFile(BSTR* filename) {
  const std::vector<std::u16string> lines = MemoLines();
  const auto writer = ostrel::com::CreateObject<_CXmlWriter>(ostrel::kCXmlWriterId);
  VARIANT_BOOL opened = VARIANT_FALSE;
  ostrel::com::Check(writer->XmlOpen(filename, &opened));
  // A writer that cannot open the file has already told the user why.
  if (!opened) return;
  WriteLine(*writer.get(), 0, u"<Memo>");
  for (const std::u16string& line : lines) WriteLine(*writer.get(), 1, line);
  WriteLine(*writer.get(), 0, u"</Memo>");
  // Releasing the writer, as the end of this scope does, closes the file.
}

class CXmlMemoReader final : public ostrel::com::DispatchObject<CXmlMemoReader, _CXmlMemoReader, _IXmlHandler> {
 public:
  static const ostrel::com::DispatchTable<CXmlMemoReader>& Members();

  HRESULT WriteData(BSTR* filename) override;

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override;
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override;
  HRESULT EndElement(BSTR* tagname) override;
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override;

 private:
  static std::u16string GetKeyValue(std::u16string_view key, Collection* parmList);

  // Set at every "sentence" start tag and never cleared, so text after a
  // nested "sentence" ends goes under the inner element's title.
  std::u16string currentTitle;
};

const ostrel::com::DispatchTable<CXmlMemoReader>& CXmlMemoReader::Members() {
  static const ostrel::com::DispatchTable<CXmlMemoReader> table{
      ostrel::com::Member<CXmlMemoReader, &_CXmlMemoReader::WriteData>(u"WriteData", u"filename"),
      ostrel::com::Member<CXmlMemoReader, &_IXmlHandler::ErrElement>(u"ErrElement", u"ln", u"msg", u"content"),
      ostrel::com::Member<CXmlMemoReader, &_IXmlHandler::StartElement>(u"StartElement", u"tagname", u"parmList"),
      ostrel::com::Member<CXmlMemoReader, &_IXmlHandler::EndElement>(u"EndElement", u"tagname"),
      ostrel::com::Member<CXmlMemoReader, &_IXmlHandler::contentData>(u"contentData", u"tagname", u"contentData"),
  };
  return table;
}

HRESULT CXmlMemoReader::WriteData(BSTR* filename) {
  if (AnyNull(filename)) return E_POINTER;
  return ostrel::com::Guard([&] { WriteMemoFile(filename); });
}

// Faults in the file change nothing: the memos read before them stay.
HRESULT CXmlMemoReader::ErrElement(int32_t* ln, BSTR* msg, BSTR* content) {
  return AnyNull(ln, msg, content) ? E_POINTER : S_OK;
}

HRESULT CXmlMemoReader::StartElement(BSTR* tagname, Collection** parmList) {
  if (AnyNull(tagname, parmList)) return E_POINTER;
  // The reader empties the list after this call, so the title is copied now.
  if (ostrel::com::View(*tagname) == kSentence) currentTitle = GetKeyValue(kTitleKey, *parmList);
  return S_OK;
}

HRESULT CXmlMemoReader::EndElement(BSTR* tagname) { return AnyNull(tagname) ? E_POINTER : S_OK; }

HRESULT CXmlMemoReader::contentData(BSTR* tagname, BSTR* contentData) {
  if (AnyNull(tagname, contentData)) return E_POINTER;
  if (ostrel::com::View(*tagname) != kSentence) return S_OK;
  return ostrel::com::Guard(
      [&] { ModuleMemoData::AddMemoData(currentTitle, std::u16string(ostrel::com::View(*contentData))); });
}

// The list finds the key without regard to case. Any error while fetching, a
// missing key above all, gives empty text.
std::u16string CXmlMemoReader::GetKeyValue(std::u16string_view key, Collection* parmList) {
  if (!parmList) return {};
  ostrel::com::Bstr keyText(key);
  VARIANT index;
  index.vt = VT_BSTR;
  index.bstrVal = keyText.get();
  ostrel::com::Bstr value;
  if (Failed(parmList->Item(&index, value.Receive()))) return {};
  return value.str();
}

}  // namespace

ostrel::com::ComPtr<_CXmlMemoReader> NewCXmlMemoReader() {
  ostrel::com::ComPtr<_CXmlMemoReader> reader;
  ostrel::com::Check(ostrel::com::CreateComObject<CXmlMemoReader>(_CXmlMemoReader::iid, reader.ReceiveVoid()));
  return reader;
}
