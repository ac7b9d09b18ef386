// An Ostrel client built against the installed library: writes a memo file
// through CXmlWriter, then reads it back through CXmlReader into a handler of
// its own and prints every memo as "title: body". Exits with 0 when the memo
// read back is the one written.
//
//   memo_example [FILE]      (FILE defaults to memo.xml)
#include <ostrel/handler_members.h>
#include <ostrel/ostrel.h>
#include <ostrel/com/com_runtime.h>
#include <ostrel/com/unicode.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

void WriteMemoFile(std::u16string_view path) {
  auto writer = ostrel::com::CreateObject<_CXmlWriter>(ostrel::kCXmlWriterId);
  ostrel::com::Bstr name(path), comment(u"my memos");
  ostrel::com::Bstr start(u"<sentence Title=\"todo\">"), content(u"milk > bread"), end(u"</sentence>");
  int16_t indent = 1;
  VARIANT_BOOL done;
  ostrel::com::Check(writer->XmlOpen(name.Address(), &done));
  ostrel::com::Check(writer->WriteComment(comment.Address(), &done));
  ostrel::com::Check(writer->WriteSetEllement(&indent, start.Address(), content.Address(), end.Address(), &done));
  writer.Reset();  // closes the file
}

using Memo = std::pair<std::u16string, std::u16string>;

// Keeps the text of every "sentence" element under the Title of its start tag.
class MemoCollector final : public ostrel::com::DispatchObject<MemoCollector, _IXmlHandler> {
 public:
  static const ostrel::com::DispatchTable<MemoCollector>& Members() {
    return ostrel::XmlHandlerMembers<MemoCollector>();
  }

  HRESULT ErrElement(int32_t*, BSTR*, BSTR*) override {
    faults_ = true;
    return S_OK;
  }
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override {
    if (ostrel::com::View(*tagname) != u"sentence") return S_OK;
    // The reader empties the attribute list after this call: copy the title now.
    ostrel::com::Bstr key(u"Title"), title;
    VARIANT index{};
    index.vt = VT_BSTR;
    index.bstrVal = key.get();
    title_ = Failed((*parmList)->Item(&index, title.Receive())) ? u"" : title.str();
    return S_OK;
  }
  HRESULT EndElement(BSTR*) override { return S_OK; }
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override {
    if (ostrel::com::View(*tagname) == u"sentence") memos_.emplace_back(title_, ostrel::com::View(*contentData));
    return S_OK;
  }

  const std::vector<Memo>& memos() const { return memos_; }
  bool faults() const { return faults_; }

 private:
  std::u16string title_;
  std::vector<Memo> memos_;
  bool faults_ = false;
};

std::string Utf8(std::u16string_view text) { return ostrel::com::ToUtf8(text); }

}  // namespace

int main(int argc, char* argv[]) {
  const std::string file = argc > 1 ? argv[1] : "memo.xml";
  // The name's bytes, UTF-8 or not, reach exactly that file.
  const std::u16string path = ostrel::com::FromFileName(file);
  try {
    WriteMemoFile(path);

    ostrel::com::ComPtr<_IXmlHandler> handler;
    ostrel::com::Check(ostrel::com::CreateComObject<MemoCollector>(_IXmlHandler::iid, handler.ReceiveVoid()));
    auto reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
    ostrel::com::Bstr name(path);
    int16_t status = -1;
    ostrel::com::Check(reader->SetData(name.Address(), handler.Address(), &status));

    const auto& collector = static_cast<const MemoCollector&>(*handler.get());
    for (const auto& [title, body] : collector.memos()) std::printf("%s: %s\n", Utf8(title).c_str(), Utf8(body).c_str());
    const std::vector<Memo> written{{u"todo", u"milk > bread"}};
    if (status != 0 || collector.faults() || collector.memos() != written) {
      std::fprintf(stderr, "memo_example: %s did not read back as written\n", file.c_str());
      return 1;
    }
  } catch (const ostrel::com::RuntimeError& error) {
    std::fprintf(stderr, "memo_example: error %s\n", error.what());
    return 1;
  }
  return 0;
}
