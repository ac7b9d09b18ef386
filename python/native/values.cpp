#include "native/values.h"

#include <limits>
#include <utility>

#include <ostrel/com/com_ptr.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include "native/constructed.h"
#include "native/late_bound_object.h"
#include "native/python_handler.h"
#include "native/python_text.h"

namespace ostrel::python {
namespace {

// Values that cannot stand for an argument of the component model. Anything
// else that is not a value is taken for a handler, so these are refused by
// name rather than wrapped as a handler that answers nothing.
bool IsUnsupportedValue(py::handle value) {
  return PyFloat_Check(value.ptr()) || PyComplex_Check(value.ptr()) || PyBytes_Check(value.ptr()) ||
         PyByteArray_Check(value.ptr()) || PyList_Check(value.ptr()) || PyTuple_Check(value.ptr()) ||
         PyDict_Check(value.ptr()) || PyAnySet_Check(value.ptr());
}

int32_t ToInteger(py::handle value) {
  int overflow = 0;
  const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (number == -1 && PyErr_Occurred()) throw py::error_already_set();
  if (overflow || number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max()) {
    ostrel::com::Raise(ostrel::com::errnum::kOverflow);
  }
  return static_cast<int32_t>(number);
}

// Fills VARIANT, an empty one, which then owns what it holds; its type is set
// only once the value is there, so a step that raises leaves it empty. A
// Ref's integer travels as a 16-bit one when it fits, the width of Ostrel's
// integer parameters, since only a variable of the parameter's own type
// reaches the callee unconverted.
void Store(py::handle value, VARIANT& variant, bool narrowIntegers) {
  if (value.is_none()) {
    variant.vt = VT_DISPATCH;
    variant.pdispVal = nullptr;
  } else if (PyBool_Check(value.ptr())) {
    variant.vt = VT_BOOL;
    variant.boolVal = ToVariantBool(value.ptr() == Py_True);
  } else if (PyLong_Check(value.ptr())) {
    const int32_t number = ToInteger(value);
    if (narrowIntegers && number >= INT16_MIN && number <= INT16_MAX) {
      variant.vt = VT_I2;
      variant.iVal = static_cast<int16_t>(number);
    } else {
      variant.vt = VT_I4;
      variant.lVal = number;
    }
  } else if (PyUnicode_Check(value.ptr())) {
    variant.bstrVal = SysAllocString(ToText(value));
    variant.vt = VT_BSTR;
  } else if (py::isinstance<LateBoundObject>(value)) {
    variant.pdispVal = ostrel::com::ComPtr<IDispatch>::Share(Constructed<const LateBoundObject>(value).Require()).Detach();
    variant.vt = VT_DISPATCH;
  } else if (py::isinstance<Ref>(value)) {
    throw py::type_error("an ostrel.Ref cannot hold another ostrel.Ref");
  } else if (IsPathLike(value)) {
    variant.bstrVal = SysAllocString(ToText(PathText(value)));
    variant.vt = VT_BSTR;
  } else if (IsUnsupportedValue(value)) {
    throw py::type_error(std::string("ostrel cannot pass a ") + Py_TYPE(value.ptr())->tp_name +
                         ": pass a str, int, bool, None, an ostrel object or a handler");
  } else {
    variant.pdispVal = PythonHandler::Wrap(value);
    variant.vt = VT_DISPATCH;
  }
}

}  // namespace

py::object FromVariant(const VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY: return py::none();
    case VT_I2: return py::int_(value.iVal);
    case VT_I4: return py::int_(value.lVal);
    case VT_BOOL: return py::bool_(value.boolVal != VARIANT_FALSE);
    case VT_BSTR: return FromText(ostrel::com::View(value.bstrVal));
    case VT_DISPATCH: return WrapObject(value.pdispVal);
    default: ostrel::com::Raise(ostrel::com::errnum::kTypeMismatch);
  }
}

py::object WrapObject(IDispatch* object) {
  if (!object) return py::none();
  const auto held = ostrel::com::ComPtr<IDispatch>::Share(object);
  if (const auto python = held.As<PythonObject>()) return py::reinterpret_borrow<py::object>(python->Target());
  if (auto list = held.As<Collection>()) return py::cast(CollectionView(std::move(list)));
  return py::cast(LateBoundObject(held, "object"));
}

CallArguments::CallArguments(const py::tuple& arguments)
    : values_(arguments.size()), references_(arguments.size()), refs_(arguments.size()) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    py::handle argument = arguments[i];
    const bool isRef = py::isinstance<Ref>(argument);
    if (isRef) refs_[i] = py::reinterpret_borrow<py::object>(argument);
    Store(isRef ? Constructed<Ref>(argument).value : argument, values_[i].value, isRef);
    references_[i].vt = VT_BYREF | VT_VARIANT;
    references_[i].pvarVal = &values_[i].value;
  }
}

void CallArguments::UpdateRefs() {
  for (std::size_t i = 0; i < refs_.size(); ++i) {
    if (!refs_[i]) continue;
    Ref& ref = refs_[i].cast<Ref&>();
    const VARIANT& left = values_[i].value;
    const bool objectKept = left.vt == VT_DISPATCH && py::isinstance<LateBoundObject>(ref.value) &&
                            HoldsItsObject(ref.value) && left.pdispVal == ref.value.cast<const LateBoundObject&>().get();
    if (!objectKept) ref.value = FromVariant(left);
  }
}

}  // namespace ostrel::python
