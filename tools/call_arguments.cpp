#include "tools/call_arguments.h"

#include <variant>

#include <ostrel/com/text.h>
#include "tools/variant_json.h"

namespace tools {
namespace {

template <class... Visitors>
struct Overloaded : Visitors... {
  using Visitors::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang 14).
template <class... Visitors>
Overloaded(Visitors...) -> Overloaded<Visitors...>;

void HoldObject(ostrel::com::ComPtr<IDispatch> object, VARIANT& value) {
  value.pdispVal = object.Detach();
  value.vt = VT_DISPATCH;
}

// Fills VALUE, an empty variant, which then owns what it holds. A type is set
// only once its value is in place: a step that raises leaves VALUE empty.
void Store(const Argument& argument, const Variables& variables, VARIANT& value) {
  std::visit(Overloaded{
                 [&](const argument::Text& text) {
                   value.bstrVal = SysAllocString(text.value);
                   value.vt = VT_BSTR;
                 },
                 [&](const argument::Int16& number) {
                   value.vt = VT_I2;
                   value.iVal = number.value;
                 },
                 [&](const argument::Int32& number) {
                   value.vt = VT_I4;
                   value.lVal = number.value;
                 },
                 [&](const argument::Boolean& flag) {
                   value.vt = VT_BOOL;
                   value.boolVal = ToVariantBool(flag.value);
                 },
                 [&](const argument::Nothing&) {
                   value.vt = VT_DISPATCH;
                   value.pdispVal = nullptr;
                 },
                 [&](const argument::Variable& variable) {
                   HoldObject(ostrel::com::ComPtr<IDispatch>::Share(variables.Find(variable.name)), value);
                 },
                 [&](const argument::NewObject& object) { HoldObject(CreateByProgId(object.progId), value); },
             },
             argument);
}

}  // namespace

CallArguments::CallArguments(const std::vector<Argument>& arguments, const Variables& variables)
    : values_(arguments.size()), references_(arguments.size()) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    Store(arguments[i], variables, values_[i].value);
    references_[i].vt = VT_BYREF | VT_VARIANT;
    references_[i].pvarVal = &values_[i].value;
  }
}

std::vector<std::string> CallArguments::Json(const Variables& variables) const {
  std::vector<std::string> json;
  for (const ostrel::com::OwnedVariant& held : values_) json.push_back(VariantJson(held.value, variables));
  return json;
}

}  // namespace tools
