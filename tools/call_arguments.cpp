#include "tools/call_arguments.h"

#include <variant>

#include "platform/text.h"
#include "tools/variant_json.h"

namespace tools {
namespace {

template <class... Visitors>
struct Overloaded : Visitors... {
  using Visitors::operator()...;
};

// Fills VALUE, an empty variant, which then owns what it holds.
void Store(const Argument& argument, const Variables& variables, VARIANT& value) {
  std::visit(Overloaded{
                 [&](const argument::Text& text) {
                   value.vt = VT_BSTR;
                   value.bstrVal = SysAllocString(text.value);
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
                   value.vt = VT_DISPATCH;
                   value.pdispVal = ostrel::com::ComPtr<IDispatch>::Share(variables.Find(variable.name)).Detach();
                 },
                 [&](const argument::NewObject& object) {
                   value.vt = VT_DISPATCH;
                   value.pdispVal = CreateByProgId(object.progId).Detach();
                 },
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
