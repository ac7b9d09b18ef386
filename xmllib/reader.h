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
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <ostrel/com/com_ptr.h>
#include <ostrel/com/dispatch.h>
#include <ostrel/com/text.h>
#include <ostrel/ostrel.h>
#include "xmllib/scanner.h"

namespace ostrel {

class CXmlReader final : public ostrel::com::DispatchObject<CXmlReader, _CXmlReader> {
 public:
  CXmlReader() { Class_Initialize(); }
  ~CXmlReader() override { Class_Terminate(); }

  static const ostrel::com::DispatchTable<CXmlReader>& Members();

  HRESULT setKeyList(BSTR* strbuf, BSTR* tagname, Collection** keylist, VARIANT_BOOL* result) override;
  HRESULT SetData(BSTR* filename, _IXmlHandler** handle, int16_t* result) override;

 private:
  struct ReadCall;

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
  void ReadTokens(ReadCall& call);
  bool OnToken(ReadCall& call, TokenKind kind, std::u16string_view text);
  void OnStartTag(ReadCall& call, std::u16string_view text);
  void OnEmptyTag(ReadCall& call, std::u16string_view text);
  bool OnEndTag(ReadCall& call, std::u16string_view text);
  void OnUnmatchedEndTag(ReadCall& call, std::u16string_view text);
  void OnContent(ReadCall& call, std::u16string_view text);
  void OnEndOfInput(ReadCall& call, std::u16string_view text);
  // Calls StartElement for the tag TEXT; returns its name, a view into TEXT.
  std::u16string_view StartElement(ReadCall& call, std::u16string_view text);

  TokenScanner scanner;
  ostrel::com::Bstr attributeValue;  // reused for each attribute a tag adds
  ostrel::com::Bstr attributeKey;
};

}  // namespace ostrel
