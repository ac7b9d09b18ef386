// IXmlEventSource: a CXmlReader's events pulled a batch at a time, for
// clients that iterate instead of being called back. Ask a reader for it with
// QueryInterface; _CXmlReader stays as it is.
//
// The events are the callbacks SetData would make for the same file, in the
// same order and with the same values, made by the same token loop, on the
// caller's thread. Memory is bounded by the batch and the longest token.
//
// An open iteration holds the library's file slot until its last batch has
// been read, Close is called or the reader is released; until then no other
// read or write can open a file. A run-time error that would end SetData ends
// the iteration and frees the slot at once; the events before it still come
// out, and the error fails the call after them.
#pragma once

#include <cstdint>
#include <string_view>

#include <ostrel/com/collection.h>
#include <ostrel/com/com.h>

namespace ostrel {

enum class XmlEventKind : int32_t {
  Start = 1,    // StartElement: name, attributes
  Content = 2,  // contentData: name, text
  End = 3,      // EndElement: name
  Fault = 4,    // ErrElement: message, text (the callback's content)
};

// One callback's values; the views last until the next call on the source.
struct XmlEvent {
  XmlEventKind kind;
  // How many tokens the reader had read when it reported the event:
  // ErrElement's ln for a Fault.
  int32_t position;
  // The line the reader had reached (1 for the first; 0 before any line).
  int32_t line;
  std::u16string_view name;
  std::u16string_view text;
  std::u16string_view message;
  // Start: the tag's attributes in tag order, key and value each.
  const ostrel::com::EntryView* attributes;
  uint32_t attributeCount;
};

struct XmlEventBatch {
  const XmlEvent* events = nullptr;
  uint32_t count = 0;
};

struct IXmlEventSource : IUnknown {
  static constexpr IID iid = {0x3F6A1D34, 0x8C4B, 0x4E2A, {0xB1, 0x57, 0x20, 0x0C, 0x9E, 0x41, 0x7A, 0x24}};
  // Starts reading FILENAME, ending an iteration still open. Unlike SetData
  // it shows no message box: an empty name fails with 52, a name that is no
  // file with 53; the other errors are those of SetData's open.
  virtual HRESULT Open(BSTR* filename) = 0;
  // The next events, at least one unless the iteration is over; *MORE is
  // False once the iteration has ended, with these events its last, and the
  // file slot is free.
  virtual HRESULT Next(XmlEventBatch* batch, VARIANT_BOOL* more) = 0;
  // Ends the iteration and frees the file slot; nothing when none is open.
  virtual HRESULT Close() = 0;

 protected:
  ~IXmlEventSource() = default;
};

}  // namespace ostrel
