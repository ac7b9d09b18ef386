// A tiny in-process server for testing the component model on its own: one
// class whose operations exercise every kind of by-reference argument.
#pragma once

#include <cstdint>

#include <ostrel/com/com.h>

namespace counter {

constexpr CLSID kCounterId = {0x7A0C5E10, 0x1D2B, 0x4C3A, {0x8E, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
constexpr GUID kTypeLibraryId = {0x7A0C5E11, 0x1D2B, 0x4C3A, {0x8E, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02}};

}  // namespace counter

struct _Counter : IDispatch {
  static constexpr IID iid = {0x7A0C5E12, 0x1D2B, 0x4C3A, {0x8E, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03}};
  // Adds STEP to the count and returns the new count; 6 when it would pass 32767.
  virtual HRESULT Bump(int16_t* step, int16_t* result) = 0;
  // Appends SUFFIX to TEXT, in the caller's variable; returns whether it grew.
  virtual HRESULT Append(BSTR* text, BSTR* suffix, VARIANT_BOOL* result) = 0;
  // Calls OTHER's Bump with STEP; 91 when OTHER is no object.
  virtual HRESULT BumpOther(_Counter** other, int16_t* step) = 0;

 protected:
  ~_Counter() = default;
};
