// CXmlReader: reads an XML file token by token and pushes what it finds, in
// file order, to an _IXmlHandler. It checks nothing but the balance of start
// and end tags, and stops at the first end tag that does not close the
// innermost open element.
//
// SetData returns 0 when the file was read (nesting errors included, which go
// to ErrElement), -1 after a message box when there is no file name or no such
// file. Run-time errors (duplicate attribute 457, overflow 6, a failed
// callback, a file error, no handler 91) fail the call; the input file is
// closed all the same, so the file slot is free for the next open.
//
// IXmlEventSource runs the same token loop a batch at a time, recording the
// callbacks instead of making them (event_source.h).
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include <ostrel/com/com_ptr.h>
#include <ostrel/com/dispatch.h>
#include <ostrel/com/text.h>
#include <ostrel/event_source.h>
#include <ostrel/ostrel.h>
#include "xmllib/event_batch.h"
#include "xmllib/scanner.h"

namespace ostrel {

class CXmlReader final : public ostrel::com::DispatchObject<CXmlReader, _CXmlReader, IXmlEventSource> {
 public:
  CXmlReader();
  ~CXmlReader() override;

  static const ostrel::com::DispatchTable<CXmlReader>& Members();

  HRESULT setKeyList(BSTR* strbuf, BSTR* tagname, Collection** keylist, VARIANT_BOOL* result) override;
  HRESULT SetData(BSTR* filename, _IXmlHandler** handle, int16_t* result) override;

  HRESULT Open(BSTR* filename) override;
  HRESULT Next(XmlEventBatch* batch, VARIANT_BOOL* more) override;
  HRESULT Close() override;

 private:
  // The state of one read; EVENTS receives the callbacks.
  template <class Events>
  struct ReadCall;
  using Pull = ReadCall<EventBatch>;

  void Class_Initialize();
  void Class_Terminate();

  // setKeyList on views into a text that outlives them. ADD(value, name)
  // files each attribute: into a caller's list through its interface, or
  // into the reader's own list directly.
  template <class AddAttribute>
  bool SplitTag(std::u16string_view& strbuf, std::u16string_view& tagname, AddAttribute add);
  static int16_t FindSeparator(std::u16string_view text);
  template <class AddAttribute>
  bool ParseAttribute(std::u16string_view item, std::u16string_view separator, AddAttribute add);
  void AddUnderKey(Collection* keylist, std::u16string_view value, std::u16string_view name);
  // Replaces the references in TEXT where it stands: no reference is shorter
  // than the character it stands for.
  static void DecodeEntities(ostrel::com::Bstr& text);
  // The row of format::kEscapes whose reference TEXT starts with; -1 when
  // there is none.
  static int16_t EntityRowAt(std::u16string_view text);

  int16_t Read(std::u16string filename, _IXmlHandler* handle);
  void OpenPull(std::u16string filename);
  void NextBatch(XmlEventBatch& batch, VARIANT_BOOL& more);
  void EndInput();
  // Reads one token and reports what it gives; false when the read is over.
  template <class Events>
  bool ReadToken(ReadCall<Events>& call);
  template <class Events>
  bool OnToken(ReadCall<Events>& call, TokenKind kind, std::u16string_view text);
  template <class Events>
  void OnStartTag(ReadCall<Events>& call, std::u16string_view text);
  template <class Events>
  void OnEmptyTag(ReadCall<Events>& call, std::u16string_view text);
  template <class Events>
  bool OnEndTag(ReadCall<Events>& call, std::u16string_view text);
  template <class Events>
  void OnUnmatchedEndTag(ReadCall<Events>& call, std::u16string_view text);
  template <class Events>
  void OnContent(ReadCall<Events>& call, std::u16string_view text);
  template <class Events>
  void OnEndOfInput(ReadCall<Events>& call, std::u16string_view text);
  // Reports the tag TEXT's StartElement; returns its name, a view into TEXT.
  template <class Events>
  std::u16string_view StartElement(ReadCall<Events>& call, std::u16string_view text);

  TokenScanner scanner;
  ostrel::com::Bstr attributeValue;  // reused for each attribute a tag adds
  ostrel::com::Bstr attributeKey;
  std::unique_ptr<Pull> pull;  // the IXmlEventSource iteration, if any
  bool pullHoldsInput = false;  // until it has read to the end
  std::exception_ptr pullError;  // what ended it, for the call after its last events
};

}  // namespace ostrel
