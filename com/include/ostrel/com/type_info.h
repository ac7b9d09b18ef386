// Type information: what a late-bound caller can learn of an object's
// operations before calling one (their names, argument names and types), so
// that a binding can list them, show their signatures and check a call's
// arguments itself. IDispatch::GetTypeInfo(0) gives it for objects built on
// DispatchObject.
#pragma once

#include <cstdint>

#include "com.h"

// One type: a VarType; for VT_DISPATCH, the interface the object must
// answer, or null where any object will do.
struct TYPEDESC {
  uint16_t vt;
  const IID* iid;
};

// One operation. Its arguments are all passed by reference.
struct FUNCDESC {
  int32_t memid;  // the id GetIDsOfNames gives and Invoke takes
  uint32_t cParams;
  const TYPEDESC* params;  // cParams of them
  TYPEDESC result;         // VT_EMPTY: the operation has no result
};

struct ITypeInfo : IUnknown {
  static constexpr IID iid = {0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  virtual HRESULT GetFuncCount(uint32_t* count) = 0;
  // Operation INDEX, from 0. The description stays valid while this type
  // information is held.
  virtual HRESULT GetFuncDesc(uint32_t index, const FUNCDESC** desc) = 0;
  // The name of operation MEMID, then its argument names: at most MAX names
  // into NAMES, each a new BSTR the caller frees; COUNT says how many.
  virtual HRESULT GetNames(int32_t memid, BSTR* names, uint32_t max, uint32_t* count) = 0;

 protected:
  ~ITypeInfo() = default;
};
