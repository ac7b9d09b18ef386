#include <ostrel/com/dispatch.h>

#include <limits>

#include <ostrel/com/keys.h>

namespace ostrel::com {
namespace dispatch_detail {

VARIANT& Target(VARIANT& argument) {
  VARIANT* value = &argument;
  while (value->vt == (VT_BYREF | VT_VARIANT)) value = value->pvarVal;
  return *value;
}

bool ReachesNull(const VARIANT& argument) {
  const VARIANT* value = &argument;
  while (value->vt & VT_BYREF) {
    if (!value->pvarVal) return true;  // every reference shares this place
    if (value->vt != (VT_BYREF | VT_VARIANT)) return false;
    value = value->pvarVal;
  }
  return false;
}

namespace {

// The pointer to a variant's value of type VT, by reference or in place; null
// when the variant holds another type.
template <class T>
T* Direct(VARIANT& value, uint16_t vt, T* inPlace, T* byReference) {
  if (value.vt == vt) return inPlace;
  if (value.vt == (VT_BYREF | vt)) return byReference;
  return nullptr;
}

// A numeric argument of any integer or Boolean kind, as a 32-bit number.
int32_t NumberOf(const VARIANT& value) {
  switch (value.vt) {
    case VT_I2: return value.iVal;
    case VT_I4: return value.lVal;
    case VT_BOOL: return value.boolVal;
    case VT_BYREF | VT_I2: return *value.piVal;
    case VT_BYREF | VT_I4: return *value.plVal;
    case VT_BYREF | VT_BOOL: return *value.pboolVal;
    default: Raise(errnum::kTypeMismatch);
  }
}

}  // namespace

Argument<BSTR>::Argument(VARIANT& argument) {
  VARIANT& value = Target(argument);
  pointer_ = Direct(value, VT_BSTR, &value.bstrVal, value.pbstrVal);
  if (pointer_) return;
  if (value.vt != VT_EMPTY) Raise(errnum::kTypeMismatch);
  pointer_ = &temporary_;
}

Argument<int16_t>::Argument(VARIANT& argument) {
  VARIANT& value = Target(argument);
  pointer_ = Direct(value, VT_I2, &value.iVal, value.piVal);
  if (pointer_) return;
  const int32_t number = value.vt == VT_EMPTY ? 0 : NumberOf(value);
  if (number < std::numeric_limits<int16_t>::min() || number > std::numeric_limits<int16_t>::max()) {
    Raise(errnum::kOverflow);
  }
  temporary_ = static_cast<int16_t>(number);
  pointer_ = &temporary_;
}

Argument<int32_t>::Argument(VARIANT& argument) {
  VARIANT& value = Target(argument);
  pointer_ = Direct(value, VT_I4, &value.lVal, value.plVal);
  if (pointer_) return;
  temporary_ = value.vt == VT_EMPTY ? 0 : NumberOf(value);
  pointer_ = &temporary_;
}

Argument<VARIANT_BOOL>::Argument(VARIANT& argument) {
  VARIANT& value = Target(argument);
  pointer_ = Direct(value, VT_BOOL, &value.boolVal, value.pboolVal);
  if (pointer_) return;
  temporary_ = ToVariantBool(value.vt != VT_EMPTY && NumberOf(value) != 0);
  pointer_ = &temporary_;
}

IDispatch* ObjectOf(VARIANT& argument) {
  VARIANT& value = Target(argument);
  if (value.vt == VT_EMPTY) return nullptr;
  if (value.vt == VT_DISPATCH) return value.pdispVal;
  if (value.vt == (VT_BYREF | VT_DISPATCH)) return *value.ppdispVal;
  Raise(errnum::kTypeMismatch);
}

namespace {

// Frees what RESULT held and puts VALUE in its FIELD, of type VT.
template <class T>
void Store(T value, VarType vt, T VARIANT::*field, VARIANT* result) {
  VariantClear(result);
  result->vt = vt;
  result->*field = value;
}

}  // namespace

void StoreResult(BSTR value, VARIANT* result) { Store(value, VT_BSTR, &VARIANT::bstrVal, result); }
void StoreResult(int16_t value, VARIANT* result) { Store(value, VT_I2, &VARIANT::iVal, result); }
void StoreResult(int32_t value, VARIANT* result) { Store(value, VT_I4, &VARIANT::lVal, result); }
void StoreResult(VARIANT_BOOL value, VARIANT* result) { Store(value, VT_BOOL, &VARIANT::boolVal, result); }
void StoreResult(IDispatch* value, VARIANT* result) { Store(value, VT_DISPATCH, &VARIANT::pdispVal, result); }

}  // namespace dispatch_detail

HRESULT FindDispatchIds(std::span<const MemberNames> members, const char16_t* const* names, uint32_t count,
                        int32_t* ids) {
  if (AnyNull(names, ids) || count == 0) return E_POINTER;
  for (uint32_t i = 0; i < count; ++i) {
    if (AnyNull(names[i])) return E_POINTER;
  }
  HRESULT status = S_OK;
  for (uint32_t i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  size_t member = 0;
  while (member < members.size() && !KeysEqual(members[member].name, names[0])) ++member;
  if (member == members.size()) return DISP_E_UNKNOWNNAME;
  ids[0] = static_cast<int32_t>(member + 1);
  const std::span<const std::u16string_view> arguments = members[member].arguments;
  for (uint32_t i = 1; i < count; ++i) {
    size_t position = 0;
    while (position < arguments.size() && !KeysEqual(arguments[position], names[i])) ++position;
    if (position == arguments.size()) status = DISP_E_UNKNOWNNAME;
    else ids[i] = static_cast<int32_t>(position);
  }
  return status;
}

}  // namespace ostrel::com
