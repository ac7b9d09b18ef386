// CXmlMemoReader: Lintrow's handler for the memo file, and its writer.
//
// As an _IXmlHandler it turns the text of every element named exactly
// "sentence" into a memo of the store, titled by the Title attribute (the key
// found without regard to case, empty when missing) of the latest "sentence"
// start tag seen. Everything else in the file is passed over.
//
// WriteData writes the memo table as a memo file through CXmlWriter. It fails
// with run-time error 5, naming the memo, before touching the file when a
// memo would not come back unchanged on reading (see memo_line.h).
#pragma once

#include <ostrel/com/com.h>
#include <ostrel/com/com_ptr.h>
#include <ostrel/com/text.h>

// CXmlMemoReader's default interface.
struct _CXmlMemoReader : IDispatch {
  static constexpr IID iid = {0x5C2E8B40, 0x71A3, 0x4D9F, {0x8E, 0x26, 0x0B, 0x4D, 0x93, 0xA1, 0xC7, 0xE1}};
  virtual HRESULT WriteData(BSTR* filename) = 0;

 protected:
  ~_CXmlMemoReader() = default;
};

// A new CXmlMemoReader, by its default interface; the window asks it for
// _IXmlHandler by interface identifier.
ostrel::com::ComPtr<_CXmlMemoReader> NewCXmlMemoReader();
