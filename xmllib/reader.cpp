#include "xmllib/reader.h"

#include <algorithm>
#include <climits>

#include <ostrel/com/collection.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/message_box.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include "runtime/unit_search.h"
#include "xmllib/file_format.h"
#include "xmllib/tag_stack.h"

namespace ostrel {

namespace {

constexpr std::u16string_view kCaption = u"Ostrel";
constexpr std::u16string_view kNoFileName = u"XMLファイルが指定されていません。";
constexpr std::u16string_view kAttributeSeparator = u"=";

using ostrel::com::Bstr;
using ostrel::com::Check;

template <std::size_t kRows>
constexpr bool NamesStartApart(const format::Escape (&escapes)[kRows]) {
  for (std::size_t a = 0; a < kRows; ++a) {
    if (escapes[a].reference.size() < 2 || escapes[a].reference[0] != u'&') return false;
    for (std::size_t b = a + 1; b < kRows; ++b) {
      if (escapes[a].reference[1] == escapes[b].reference[1]) return false;
    }
  }
  return true;
}

// The handler's four callbacks. Each argument goes by reference to a variable
// of the reader's own, so a handler that assigns to one changes nothing here;
// a failed status raises and ends the read.
class Callbacks {
 public:
  explicit Callbacks(_IXmlHandler* handle) : handle_(ostrel::com::ComPtr<_IXmlHandler>::Share(handle)) {}

  // The callbacks carry no position but ErrElement's own.
  void AtToken(int32_t, int32_t) {}

  void ErrElement(int32_t ln, std::u16string_view msg, std::u16string_view content) {
    Bstr message(msg);
    Bstr text(content);
    Check(Handler().ErrElement(&ln, message.Address(), text.Address()));
  }
  void StartElement(std::u16string_view tagname, Collection* parmList) {
    Check(Handler().StartElement(Holding(name_, tagname), &parmList));
  }
  void EndElement(std::u16string_view tagname) { Check(Handler().EndElement(Holding(name_, tagname))); }
  // With the text that content() was given.
  void contentData(std::u16string_view tagname) { Check(Handler().contentData(Holding(name_, tagname), content_.Address())); }
  // The argument contentData passes, for the reader to fill in place.
  Bstr& content() { return content_; }

 private:
  // ARGUMENT, made to hold TEXT. The handler may change or replace what it
  // is given, but mostly leaves it alone, and then the same element name
  // needs no new text for each callback.
  [[gnu::always_inline]] static BSTR* Holding(Bstr& argument, std::u16string_view text) {
    if (!argument.get() || !ostrel::com::SameUnits(argument.view(), text)) argument.Assign(text);
    return argument.Address();
  }

  // A missing handler fails the first callback instead of crashing it.
  _IXmlHandler& Handler() const {
    if (!handle_) ostrel::com::Raise(ostrel::com::errnum::kObjectNotSet);
    return *handle_.get();
  }

  ostrel::com::ComPtr<_IXmlHandler> handle_;
  Bstr name_;
  Bstr content_;
};

// Frees the file slot however the read ends: an error that passes out of
// SetData must not leave every later open in the library failing.
class InputCloser {
 public:
  explicit InputCloser(TokenScanner& scanner) : scanner_(scanner) {}
  InputCloser(const InputCloser&) = delete;
  InputCloser& operator=(const InputCloser&) = delete;
  ~InputCloser() { scanner_.CloseInput(); }

 private:
  TokenScanner& scanner_;
};

}  // namespace

template <class Events>
struct CXmlReader::ReadCall {
  template <class... EventsArguments>
  explicit ReadCall(std::u16string name, EventsArguments... arguments)
      : filename(std::move(name)), callbacks(arguments...), parmList(ostrel::com::NewCollection(parmFiller)) {}

  std::u16string filename;
  Events callbacks;
  ostrel::com::CollectionFiller* parmFiller = nullptr;
  ostrel::com::ComPtr<Collection> parmList;
  TagStack openTags;
  int32_t tokenCount = 0;
};

const ostrel::com::DispatchTable<CXmlReader>& CXmlReader::Members() {
  static const ostrel::com::DispatchTable<CXmlReader> table{
      ostrel::com::Member<CXmlReader, &_CXmlReader::setKeyList>(u"setKeyList", u"strbuf", u"tagname", u"keylist"),
      ostrel::com::Member<CXmlReader, &_CXmlReader::SetData>(u"SetData", u"filename", u"handle"),
  };
  return table;
}

CXmlReader::CXmlReader() { Class_Initialize(); }

CXmlReader::~CXmlReader() {
  Close();
  Class_Terminate();
}

// Nothing to set up: the references come from the file format's table.
void CXmlReader::Class_Initialize() {}

// Nothing to let go: every SetData closes its own input before it returns,
// and the destructor ends an open iteration.
void CXmlReader::Class_Terminate() {}

HRESULT CXmlReader::setKeyList(BSTR* strbuf, BSTR* tagname, Collection** keylist, VARIANT_BOOL* result) {
  if (AnyNull(strbuf, tagname, keylist, result)) return E_POINTER;
  const std::u16string text(ostrel::com::View(*strbuf));
  const std::u16string name(ostrel::com::View(*tagname));
  std::u16string_view rest = text;
  std::u16string_view tag = name;
  // The caller's variables show how far the split got, also when it fails.
  const auto add = [&](std::u16string_view value, std::u16string_view name) { AddUnderKey(*keylist, value, name); };
  const HRESULT status = ostrel::com::Guard([&] { *result = ToVariantBool(SplitTag(rest, tag, add)); });
  SysReAllocString(strbuf, rest);
  SysReAllocString(tagname, tag);
  return status;
}

HRESULT CXmlReader::SetData(BSTR* filename, _IXmlHandler** handle, int16_t* result) {
  if (AnyNull(filename, handle, result)) return E_POINTER;
  return ostrel::com::Guard([&] { *result = Read(std::u16string(ostrel::com::View(*filename)), *handle); });
}

HRESULT CXmlReader::Open(BSTR* filename) {
  if (AnyNull(filename)) return E_POINTER;
  return ostrel::com::Guard([&] { OpenPull(std::u16string(ostrel::com::View(*filename))); });
}

HRESULT CXmlReader::Next(XmlEventBatch* batch, VARIANT_BOOL* more) {
  if (AnyNull(batch, more)) return E_POINTER;
  return ostrel::com::Guard([&] { NextBatch(*batch, *more); });
}

// The events of a last batch stay with the reader until this.
HRESULT CXmlReader::Close() {
  if (pullHoldsInput) scanner.CloseInput();
  pullHoldsInput = false;
  pullError = nullptr;
  pull.reset();
  return S_OK;
}

template <class AddAttribute>
bool CXmlReader::SplitTag(std::u16string_view& strbuf, std::u16string_view& tagname, AddAttribute add) {
  strbuf = TokenScanner::TrimLeading(strbuf);
  const int16_t p = FindSeparator(strbuf);
  if (p == 0) {
    tagname = strbuf;
    return false;
  }
  tagname = strbuf.substr(0, p - 1);
  strbuf.remove_prefix(p - 1);
  for (;;) {
    strbuf = TokenScanner::TrimLeading(strbuf);
    const int16_t q = FindSeparator(strbuf);
    if (q == 0) break;
    ParseAttribute(strbuf.substr(0, q - 1), kAttributeSeparator, add);
    strbuf.remove_prefix(q - 1);
  }
  ParseAttribute(strbuf, kAttributeSeparator, add);
  return true;
}

// Only the double quote protects blanks; a single quote does not.
int16_t CXmlReader::FindSeparator(std::u16string_view text) {
  if (text.size() > std::size_t{format::kLargestPosition}) ostrel::com::Raise(ostrel::com::errnum::kOverflow);
  constexpr std::size_t kNone = std::u16string_view::npos;
  for (std::size_t at = 0; (at = ostrel::com::FindAnyUnit(text, u'"', u' ', u'\t', at)) != kNone; ++at) {
    if (text[at] != u'"') return static_cast<int16_t>(at + 1);
    at = ostrel::com::FindUnit(text, u'"', at + 1);  // where the quote closes
    if (at == kNone) return 0;
  }
  return 0;
}

// "a=b=c" files "b=c" under "a"; only a value both opened and closed by a
// double quote loses its quotes.
template <class AddAttribute>
bool CXmlReader::ParseAttribute(std::u16string_view item, std::u16string_view separator, AddAttribute add) {
  const std::size_t p = ostrel::com::FindMark(item, separator);
  if (p == std::u16string_view::npos) return false;
  std::u16string_view value = item.substr(p + separator.size());
  if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  add(value, item.substr(0, p));
  return true;
}

// The list keeps copies, so the same two texts serve every attribute.
void CXmlReader::AddUnderKey(Collection* keylist, std::u16string_view value, std::u16string_view name) {
  if (!keylist) ostrel::com::Raise(ostrel::com::errnum::kObjectNotSet);
  attributeValue.Assign(value);
  attributeKey.Assign(name);
  VARIANT key;
  key.vt = VT_BSTR;
  key.bstrVal = attributeKey.get();
  Check(keylist->Add(attributeValue.Address(), &key));
}

// One pass gives what replacing row after row would: every reference starts
// with its only "&", so no two matches overlap, and no character a row puts
// in occurs in any reference, so a replacement never forms a new one. The
// text is written over from the front, never ahead of what is still to read.
void CXmlReader::DecodeEntities(ostrel::com::Bstr& text) {
  constexpr std::size_t kNone = std::u16string_view::npos;
  const std::u16string_view held = text.view();
  std::size_t at = ostrel::com::FindUnit(held, u'&');
  if (at == kNone) return;
  char16_t* const units = text.get();
  std::size_t written = at;
  while (at != kNone) {
    const int16_t row = EntityRowAt({held.data() + at, held.size() - at});
    units[written++] = row < 0 ? u'&' : format::kEscapes[row].character;
    const std::size_t next = at + (row < 0 ? 1 : format::kEscapes[row].reference.size());
    at = ostrel::com::FindUnit(held, u'&', next);
    const std::size_t end = at == kNone ? held.size() : at;
    std::copy(units + next, units + end, units + written);
    written += end - next;
  }
  text.Assign(std::u16string_view(units, written));
}

// Every reference is "&" and a name whose first unit no other reference's
// name starts with, so that unit picks the one row worth comparing.
int16_t CXmlReader::EntityRowAt(std::u16string_view text) {
  static_assert(NamesStartApart(format::kEscapes), "a reference's first name unit must pick its row");
  if (text.size() < 2) return -1;
  for (int16_t k = 0; k < format::kEscapeCount; ++k) {
    const std::u16string_view reference = format::kEscapes[k].reference;
    if (text[1] == reference[1]) return ostrel::com::StartsWithUnits(text, reference) ? k : -1;
  }
  return -1;
}

int16_t CXmlReader::Read(std::u16string filename, _IXmlHandler* handle) {
  if (filename.empty()) {
    ostrel::com::ShowMessageBox(kNoFileName, kCaption);
    return -1;
  }
  if (!scanner.OpenInput(filename)) {
    ostrel::com::ShowMessageBox(u"XMLファイル (" + filename + u"）のオープンに失敗しました。", kCaption);
    return -1;
  }
  const InputCloser closer(scanner);
  ReadCall<Callbacks> call(std::move(filename), handle);
  while (ReadToken(call)) {
  }
  call.parmFiller->Clear();
  return 0;
}

// No message box: a client that iterates reports a missing file its own way.
void CXmlReader::OpenPull(std::u16string filename) {
  Close();
  if (filename.empty()) ostrel::com::Raise(ostrel::com::errnum::kBadFileName);
  if (!scanner.OpenInput(filename)) {
    const std::u16string_view missing = ostrel::com::StandardDescription(ostrel::com::errnum::kFileNotFound);
    ostrel::com::Raise(ostrel::com::errnum::kFileNotFound, std::u16string(missing) + u" (" + filename + u")");
  }
  try {
    pull = std::make_unique<Pull>(std::move(filename));
  } catch (...) {
    scanner.CloseInput();
    throw;
  }
  pullHoldsInput = true;
}

// Reads on until the batch is full or the read is over. An error ends the
// read as it ends SetData, with the file slot freed; the events before it
// are handed out first, as SetData's handler has them before it fails, and
// the error comes with the next call.
void CXmlReader::NextBatch(XmlEventBatch& batch, VARIANT_BOOL& more) {
  more = VARIANT_FALSE;
  batch = {};
  if (pullError) {
    const std::exception_ptr error = pullError;
    Close();
    std::rethrow_exception(error);
  }
  if (!pullHoldsInput) return;
  EventBatch& events = pull->callbacks;
  events.Clear();
  bool reading = true;
  try {
    while (!events.Full() && (reading = ReadToken(*pull))) {
    }
  } catch (...) {
    if (events.empty()) {
      Close();
      throw;
    }
    pullError = std::current_exception();
    reading = false;
  }
  batch = events.Publish();
  more = ToVariantBool(reading || pullError);
  if (!reading) EndInput();
}

// The iteration keeps its last events until Close, but not the file slot.
void CXmlReader::EndInput() {
  pull->parmFiller->Clear();
  scanner.CloseInput();
  pullHoldsInput = false;
}

template <class Events>
bool CXmlReader::ReadToken(ReadCall<Events>& call) {
  std::u16string_view text;
  const TokenKind kind = scanner.NextToken(text);
  if (call.tokenCount == INT32_MAX) ostrel::com::Raise(ostrel::com::errnum::kOverflow);
  ++call.tokenCount;
  call.callbacks.AtToken(call.tokenCount, scanner.lineNumber());
  return OnToken(call, kind, text);
}

// False when the read is over.
template <class Events>
bool CXmlReader::OnToken(ReadCall<Events>& call, TokenKind kind, std::u16string_view text) {
  switch (kind) {
    case TokenKind::StartTag: OnStartTag(call, text); return true;
    case TokenKind::EmptyTag: OnEmptyTag(call, text); return true;
    case TokenKind::EndTag: return OnEndTag(call, text);
    case TokenKind::Content: OnContent(call, text); return true;
    case TokenKind::Comment:
    case TokenKind::ProcessingInstruction: return true;
    case TokenKind::EndOfInput: OnEndOfInput(call, text); return false;
  }
  return false;
}

template <class Events>
std::u16string_view CXmlReader::StartElement(ReadCall<Events>& call, std::u16string_view text) {
  std::u16string_view strbuf = text;
  std::u16string_view tagname;
  SplitTag(strbuf, tagname, [&](std::u16string_view value, std::u16string_view name) { call.parmFiller->Add(value, name); });
  call.callbacks.StartElement(tagname, call.parmList.get());
  return tagname;
}

template <class Events>
void CXmlReader::OnStartTag(ReadCall<Events>& call, std::u16string_view text) {
  call.openTags.Push(StartElement(call, text));
  call.parmFiller->Clear();
}

// An empty-element tag never enters openTags, so a later end tag of the same
// name is a nesting error.
template <class Events>
void CXmlReader::OnEmptyTag(ReadCall<Events>& call, std::u16string_view text) {
  const std::u16string_view tagname = StartElement(call, text);
  call.callbacks.EndElement(tagname);
  call.callbacks.content().Assign(u"");
  call.callbacks.contentData(tagname);
  call.parmFiller->Clear();
}

// Names compare whole and case-sensitively: "</a >" does not close "<a>".
template <class Events>
bool CXmlReader::OnEndTag(ReadCall<Events>& call, std::u16string_view text) {
  if (call.openTags.empty() || !ostrel::com::SameUnits(text, call.openTags.innermost())) {
    OnUnmatchedEndTag(call, text);
    return false;
  }
  call.callbacks.EndElement(call.openTags.innermost());
  call.openTags.Pop();
  return true;
}

// Ends every read it happens in, so it stays out of the token loop.
template <class Events>
__attribute__((cold, noinline)) void CXmlReader::OnUnmatchedEndTag(ReadCall<Events>& call, std::u16string_view text) {
  if (call.openTags.empty()) {
    call.callbacks.ErrElement(call.tokenCount, u"タグ(" + std::u16string(text) + u")は対称していません。", text);
    return;
  }
  const std::u16string_view tagname = call.openTags.innermost();
  call.callbacks.ErrElement(
      call.tokenCount, u"タグ(" + std::u16string(tagname) + u"と(" + std::u16string(text) + u")は対称していません。", text);
}

template <class Events>
void CXmlReader::OnContent(ReadCall<Events>& call, std::u16string_view text) {
  ostrel::com::Bstr& content = call.callbacks.content();
  content.Assign(text);
  DecodeEntities(content);
  call.callbacks.contentData(call.openTags.empty() ? std::u16string_view() : call.openTags.innermost());
}

// The message names the outermost element still open, and TEXT is whatever
// the scanner delivered last: empty after a normal end, the incomplete token
// when the input ended inside one. It runs once a read, so it stays out of
// the token loop.
template <class Events>
__attribute__((cold, noinline)) void CXmlReader::OnEndOfInput(ReadCall<Events>& call, std::u16string_view text) {
  if (call.openTags.empty()) return;
  call.callbacks.ErrElement(
      call.tokenCount, std::u16string(call.filename) + u"で未処理のタグ (" + std::u16string(call.openTags.outermost()) + u") があります。",
      text);
}

}  // namespace ostrel
