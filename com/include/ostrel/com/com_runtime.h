// Creating objects of registered classes, and calling them by name.
#pragma once

#include <initializer_list>
#include <string_view>

#include "com.h"
#include "com_ptr.h"
#include "error_info.h"
#include "export.h"

namespace ostrel::com {

// Looks CLSID up in the registry, loads its library (once per process), asks
// the library's class factory for an object and the object for IID. A class
// that is not registered, a library that is missing or lacks its entry point,
// or a factory that refuses fail with 429 and a description naming the class
// and the reason.
OSTREL_COM_API HRESULT CoCreateInstance(const CLSID& clsid, const IID& iid, void** object);

// The class registered under PROGID (for instance "Ostrel.CXmlReader"); fails
// with 429 when none is.
OSTREL_COM_API HRESULT CLSIDFromProgID(std::u16string_view progId, CLSID* clsid);

// Unloads the libraries whose DllCanUnloadNow says they may go.
OSTREL_COM_API void CoFreeUnusedLibraries();

// Raising forms of the above, for C++ callers.
template <class T>
ComPtr<T> CreateObject(const CLSID& clsid) {
  ComPtr<T> object;
  Check(CoCreateInstance(clsid, T::iid, object.ReceiveVoid()));
  return object;
}
OSTREL_COM_API ComPtr<IDispatch> CreateObject(std::u16string_view progId);

// Calls operation NAME of OBJECT through IDispatch with positional ARGUMENTS
// (pass by-reference variants to let the callee change the caller's values).
// Returns the result (VT_EMPTY for none), which the caller must VariantClear.
OSTREL_COM_API VARIANT CallByName(IDispatch* object, std::u16string_view name, VARIANT* arguments, uint32_t count);

}  // namespace ostrel::com
