#include "tools/variant_json.h"

#include <ostrel/com/collection.h>
#include <ostrel/com/com_ptr.h>
#include "tools/collection_json.h"
#include "tools/json.h"

namespace tools {
namespace {

std::string ObjectJson(IDispatch* object, const Variables& variables) {
  if (!object) return "null";
  if (const std::u16string* name = variables.NameOf(object)) return "{\"obj\":" + JsonString(*name) + "}";
  if (const auto list = ostrel::com::ComPtr<IDispatch>::Share(object).As<Collection>()) {
    return "{\"collection\":" + CollectionJson(*list.get()) + "}";
  }
  return "{\"obj\":null}";
}

}  // namespace

std::string VariantJson(const VARIANT& value, const Variables& variables) {
  switch (value.vt) {
    case VT_EMPTY: return "null";
    case VT_BOOL: return value.boolVal ? "true" : "false";
    case VT_I2: return std::to_string(value.iVal);
    case VT_I4: return std::to_string(value.lVal);
    case VT_BSTR: return JsonString(ostrel::com::View(value.bstrVal));
    case VT_DISPATCH: return ObjectJson(value.pdispVal, variables);
    default: break;
  }
  // Late binding on this platform yields only the types above; anything else
  // is named rather than guessed at.
  return "{\"vt\":" + std::to_string(value.vt) + "}";
}

}  // namespace tools
