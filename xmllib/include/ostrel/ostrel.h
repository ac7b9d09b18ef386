// Ostrel's public surface: its classes, their default interfaces in slot
// order, and their fixed identifiers. This header is all a client needs; it
// creates the classes by class identifier through the component model.
//
// Every argument is passed by reference (a pointer to the caller's variable);
// a result comes back through the last pointer. Texts are BSTRs, Booleans
// VARIANT_BOOL, the attribute list a Collection.
#pragma once

#include <cstdint>

#include <ostrel/com/collection.h>
#include <ostrel/com/com.h>

namespace ostrel {

// Type library Ostrel 1.0.
constexpr GUID kTypeLibraryId = {0x3F6A1D20, 0x8C4B, 0x4E2A, {0xB1, 0x57, 0x20, 0x0C, 0x9E, 0x41, 0x7A, 0x10}};
constexpr uint16_t kTypeLibraryMajor = 1;
constexpr uint16_t kTypeLibraryMinor = 0;

constexpr CLSID kCXmlReaderId = {0x3F6A1D21, 0x8C4B, 0x4E2A, {0xB1, 0x57, 0x20, 0x0C, 0x9E, 0x41, 0x7A, 0x11}};
constexpr CLSID kCXmlWriterId = {0x3F6A1D22, 0x8C4B, 0x4E2A, {0xB1, 0x57, 0x20, 0x0C, 0x9E, 0x41, 0x7A, 0x12}};
constexpr CLSID kIXmlHandlerId = {0x3F6A1D23, 0x8C4B, 0x4E2A, {0xB1, 0x57, 0x20, 0x0C, 0x9E, 0x41, 0x7A, 0x13}};

}  // namespace ostrel

// The callback interface through which a reader reports what it reads.
struct _IXmlHandler : IDispatch {
  static constexpr IID iid = {0x3F6A1D31, 0x8C4B, 0x4E2A, {0xB1, 0x57, 0x20, 0x0C, 0x9E, 0x41, 0x7A, 0x21}};
  virtual HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) = 0;
  virtual HRESULT StartElement(BSTR* tagname, Collection** parmList) = 0;
  virtual HRESULT EndElement(BSTR* tagname) = 0;
  virtual HRESULT contentData(BSTR* tagname, BSTR* contentData) = 0;

 protected:
  ~_IXmlHandler() = default;
};

struct _CXmlWriter : IDispatch {
  static constexpr IID iid = {0x3F6A1D32, 0x8C4B, 0x4E2A, {0xB1, 0x57, 0x20, 0x0C, 0x9E, 0x41, 0x7A, 0x22}};
  virtual HRESULT XmlOpen(BSTR* filename, VARIANT_BOOL* result) = 0;
  virtual HRESULT WriteComment(BSTR* comment, VARIANT_BOOL* result) = 0;
  virtual HRESULT WriteSetEllement(int16_t* indentNo, BSTR* startTag, BSTR* contentData, BSTR* endTag,
                                   VARIANT_BOOL* result) = 0;
  virtual HRESULT WriteOneEllement(int16_t* indentNo, BSTR* ellement, VARIANT_BOOL* result) = 0;
  virtual HRESULT XmlClose(VARIANT_BOOL* result) = 0;

 protected:
  ~_CXmlWriter() = default;
};

struct _CXmlReader : IDispatch {
  static constexpr IID iid = {0x3F6A1D33, 0x8C4B, 0x4E2A, {0xB1, 0x57, 0x20, 0x0C, 0x9E, 0x41, 0x7A, 0x23}};
  virtual HRESULT setKeyList(BSTR* strbuf, BSTR* tagname, Collection** keylist, VARIANT_BOOL* result) = 0;
  virtual HRESULT SetData(BSTR* filename, _IXmlHandler** handle, int16_t* result) = 0;

 protected:
  ~_CXmlReader() = default;
};
