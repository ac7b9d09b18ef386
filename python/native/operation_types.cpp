#include "native/operation_types.h"

#include <string_view>

#include <ostrel/com/com_ptr.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/text.h>
#include <ostrel/com/type_info.h>
#include <ostrel/ostrel.h>
#include "native/python_text.h"

namespace ostrel::python {
namespace {

using ostrel::com::ComPtr;

ValueType ValueTypeOf(const TYPEDESC& type) {
  ValueType value{type.vt, std::nullopt};
  if (type.iid) value.iid = *type.iid;
  return value;
}

OperationType Describe(ITypeInfo& info, const FUNCDESC& desc) {
  OperationType type{desc.memid, {}, {}, {}, ValueTypeOf(desc.result)};
  for (uint32_t p = 0; p < desc.cParams; ++p) type.argumentTypes.push_back(ValueTypeOf(desc.params[p]));
  std::vector<BSTR> names(desc.cParams + 1, nullptr);
  uint32_t count = 0;
  const HRESULT status = info.GetNames(desc.memid, names.data(), static_cast<uint32_t>(names.size()), &count);
  for (uint32_t n = 0; n < count; ++n) {
    std::string name = Utf8FromText(ostrel::com::View(names[n]));
    if (n == 0) type.name = std::move(name);
    else type.argumentNames.push_back(std::move(name));
    SysFreeString(names[n]);
  }
  ostrel::com::Check(status);
  // An argument the information leaves unnamed is named by its position.
  while (type.argumentNames.size() < desc.cParams) type.argumentNames.push_back("arg" + std::to_string(type.argumentNames.size() + 1));
  return type;
}

// The Python type a value of TYPE travels as.
py::object Annotation(const ValueType& type) {
  const py::module_ builtins = py::module_::import("builtins");
  switch (type.vt) {
    case VT_EMPTY: return py::none();
    case VT_I2:
    case VT_I4: return builtins.attr("int");
    case VT_BOOL: return builtins.attr("bool");
    case VT_BSTR: return builtins.attr("str");
    case VT_DISPATCH:
      if (type.iid == Collection::iid) return py::module_::import("ostrel").attr("Collection");
      // Any Python object stands in as a handler; any ostrel object is passed as it is.
      return builtins.attr("object");
    default: return py::module_::import("typing").attr("Any");
  }
}

std::string AnnotationText(const ValueType& type) {
  const py::object annotation = Annotation(type);
  if (annotation.is_none()) return "None";
  const std::string module = py::str(annotation.attr("__module__"));
  const std::string name = py::str(annotation.attr("__qualname__"));
  return module == "builtins" ? name : module + "." + name;
}

// What an object argument must be, where the type information says.
std::string ObjectNote(const std::string& argument, const ValueType& type) {
  if (type.vt != VT_DISPATCH || !type.iid) return "";
  if (*type.iid == _IXmlHandler::iid) {
    return "\n" + argument + ": a handler. Any Python object serves: its methods ErrElement, StartElement, EndElement "
           "and contentData (found in any case) receive the callbacks; one it lacks does nothing.";
  }
  if (*type.iid == Collection::iid) return "\n" + argument + ": an ostrel.Collection.";
  return "\n" + argument + ": an object with the interface " + GuidToString(*type.iid) + ".";
}

}  // namespace

std::shared_ptr<const OperationTypes> TypesOf(IDispatch* object) {
  auto types = std::make_shared<OperationTypes>();
  uint32_t infos = 0;
  if (Failed(object->GetTypeInfoCount(&infos)) || infos == 0) return types;
  ComPtr<ITypeInfo> info;
  if (Failed(object->GetTypeInfo(0, info.ReceiveVoid())) || !info) return types;
  uint32_t count = 0;
  ostrel::com::Check(info->GetFuncCount(&count));
  for (uint32_t index = 0; index < count; ++index) {
    const FUNCDESC* desc = nullptr;
    ostrel::com::Check(info->GetFuncDesc(index, &desc));
    types->push_back(Describe(*info.get(), *desc));
  }
  return types;
}

py::tuple BindArguments(const OperationType& type, const py::args& arguments, const py::kwargs& keywords) {
  const std::size_t expected = type.argumentNames.size();
  const std::string where = type.name + "()";
  if (arguments.size() > expected) {
    throw py::type_error(where + " takes " + std::to_string(expected) + " argument" + (expected == 1 ? "" : "s") +
                         " but " + std::to_string(arguments.size()) + " were given");
  }
  if (keywords.empty() && arguments.size() == expected) return arguments;
  std::vector<py::object> bound(expected);
  for (std::size_t i = 0; i < arguments.size(); ++i) bound[i] = arguments[i];
  for (const auto& [key, value] : keywords) {
    const std::string name = py::str(key);
    std::size_t at = 0;
    while (at < expected && !SameIgnoringCase(type.argumentNames[at], name)) ++at;
    if (at == expected) throw py::type_error(where + " got an unexpected keyword argument '" + name + "'");
    if (bound[at]) throw py::type_error(where + " got multiple values for argument '" + type.argumentNames[at] + "'");
    bound[at] = py::reinterpret_borrow<py::object>(value);
  }
  py::tuple ordered(expected);
  for (std::size_t i = 0; i < expected; ++i) {
    if (!bound[i]) throw py::type_error(where + " missing required argument '" + type.argumentNames[i] + "'");
    ordered[i] = bound[i];
  }
  return ordered;
}

py::object Signature(const OperationType& type) {
  const py::module_ inspect = py::module_::import("inspect");
  const py::object kind = inspect.attr("Parameter").attr("POSITIONAL_OR_KEYWORD");
  py::list parameters;
  for (std::size_t i = 0; i < type.argumentNames.size(); ++i) {
    parameters.append(inspect.attr("Parameter")(type.argumentNames[i], kind,
                                                py::arg("annotation") = Annotation(type.argumentTypes[i])));
  }
  return inspect.attr("Signature")(parameters, py::arg("return_annotation") = Annotation(type.result));
}

std::string Docstring(const OperationType& type, const std::string& owner) {
  std::string text = type.name + "(";
  std::string notes;
  for (std::size_t i = 0; i < type.argumentNames.size(); ++i) {
    if (i) text += ", ";
    text += type.argumentNames[i] + ": " + AnnotationText(type.argumentTypes[i]);
    notes += ObjectNote(type.argumentNames[i], type.argumentTypes[i]);
  }
  text += ") -> " + AnnotationText(type.result) + "\n\nAn operation of " + owner +
          ", called by name through the component model. Arguments go by position or by name (in any case), "
          "each by reference to a temporary: pass an ostrel.Ref to see what the operation leaves in it. A failed "
          "call raises ostrel.Error with the run-time error's number.";
  return text + (notes.empty() ? "" : "\n" + notes);
}

}  // namespace ostrel::python
