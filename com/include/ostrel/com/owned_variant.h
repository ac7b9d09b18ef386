// A variant that frees what it holds when it goes: a text, or a reference to
// an object.
#pragma once

#include "com.h"

namespace ostrel::com {

struct OwnedVariant {
  OwnedVariant() { VariantInit(&value); }
  explicit OwnedVariant(const VARIANT& taken) : value(taken) {}
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  ~OwnedVariant() { VariantClear(&value); }

  VARIANT value;
};

}  // namespace ostrel::com
