// The component object model: identifiers, the IUnknown and IDispatch
// interfaces, variants, class factories and status codes.
//
// Interfaces are abstract classes without a virtual destructor, so an
// interface's table of operations is exactly IUnknown's three slots,
// IDispatch's four, then its own operations in declaration order. Every
// argument of an operation is passed by pointer; a result comes back through a
// last pointer argument and the return value is the call's status.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "export.h"
#include "text.h"

using HRESULT = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111);

// A failed call that carries run-time error NUMBER; its description is in
// this thread's error info.
constexpr HRESULT RuntimeErrorStatus(int32_t number) {
  return static_cast<HRESULT>(0x800A0000u | (static_cast<uint32_t>(number) & 0xFFFFu));
}
constexpr bool Failed(HRESULT status) { return status < 0; }

// The one check every operation makes first: when any of its argument
// pointers is null it answers E_POINTER, having changed nothing.
template <class... Pointers>
constexpr bool AnyNull(const Pointers*... pointers) {
  return ((pointers == nullptr) || ...);
}

struct GUID {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
  friend constexpr bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", upper case. Formatted in the
// caller, so that no library function hands a std::string across.
inline std::string GuidToString(const GUID& guid) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.data1, guid.data2,
                guid.data3, guid.data4[0], guid.data4[1], guid.data4[2], guid.data4[3], guid.data4[4], guid.data4[5],
                guid.data4[6], guid.data4[7]);
  return text;
}
OSTREL_COM_API bool GuidFromString(std::string_view text, GUID* guid);

struct IUnknown {
  static constexpr IID iid = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

// Boolean: 16 bits, True is -1, False is 0. A type of its own, so that a
// Boolean and a 16-bit integer are told apart in late-bound calls.
enum VARIANT_BOOL : int16_t { VARIANT_FALSE = 0, VARIANT_TRUE = -1 };
inline VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

struct IDispatch;

enum VarType : uint16_t {
  VT_EMPTY = 0,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_BOOL = 11,
  VT_VARIANT = 12,  // only with VT_BYREF: a reference to another variant
  VT_BYREF = 0x4000,
};

// A value of a late-bound call. With VT_BYREF set, the variant refers to the
// caller's variable instead of holding a value.
struct VARIANT {
  uint16_t vt;
  union {
    int16_t iVal;
    int32_t lVal;
    VARIANT_BOOL boolVal;
    BSTR bstrVal;
    IDispatch* pdispVal;
    int16_t* piVal;
    int32_t* plVal;
    VARIANT_BOOL* pboolVal;
    BSTR* pbstrVal;
    IDispatch** ppdispVal;
    VARIANT* pvarVal;
  };
};

OSTREL_COM_API void VariantInit(VARIANT* value);
OSTREL_COM_API void VariantClear(VARIANT* value);  // frees a held text, releases a held object
OSTREL_COM_API void VariantCopy(VARIANT* target, const VARIANT& source);

// Arguments of a late-bound call, in positional order: args[0] is the first.
struct DISPPARAMS {
  VARIANT* args;
  uint32_t count;
};

constexpr int32_t DISPID_UNKNOWN = -1;

constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000B);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);

struct IDispatch : IUnknown {
  static constexpr IID iid = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  // The count is 1 when GetTypeInfo(0) gives an ITypeInfo (type_info.h), 0
  // when the object offers no type information.
  virtual HRESULT GetTypeInfoCount(uint32_t* count) = 0;
  virtual HRESULT GetTypeInfo(uint32_t index, void** typeInfo) = 0;
  // names[0] is an operation, compared without regard to case; names[1..] are
  // its argument names, whose ids are their 0-based positions.
  virtual HRESULT GetIDsOfNames(const char16_t* const* names, uint32_t count, int32_t* ids) = 0;
  virtual HRESULT Invoke(int32_t id, DISPPARAMS* params, VARIANT* result) = 0;

 protected:
  ~IDispatch() = default;
};

struct IClassFactory : IUnknown {
  static constexpr IID iid = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
  virtual HRESULT LockServer(VARIANT_BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// The four entry points an in-process server exports with C linkage.
using DllGetClassObjectFn = HRESULT (*)(const CLSID& clsid, const IID& iid, void** object);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
