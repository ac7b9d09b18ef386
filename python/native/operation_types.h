// The operations of an object as its type information describes them
// (<ostrel/com/type_info.h>): what dir() lists, what inspect.signature and
// the docstrings show, and how a call's keyword arguments find their places.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <ostrel/com/com.h>

namespace ostrel::python {

namespace py = pybind11;

struct ValueType {
  uint16_t vt;               // VT_EMPTY for no value (a result that is none)
  std::optional<IID> iid;    // for VT_DISPATCH: the interface the object must have
};

struct OperationType {
  int32_t id;
  std::string name;  // as declared
  std::vector<std::string> argumentNames;
  std::vector<ValueType> argumentTypes;
  ValueType result;
};

using OperationTypes = std::vector<OperationType>;

// Empty when OBJECT offers no type information.
std::shared_ptr<const OperationTypes> TypesOf(IDispatch* object);

// ARGUMENTS and KEYWORDS (names matched without regard to case, as the
// component model matches them) put in the order of TYPE's arguments; a
// wrong count, an unknown keyword or one given twice raises TypeError, as a
// Python function of that signature would.
py::tuple BindArguments(const OperationType& type, const py::args& arguments, const py::kwargs& keywords);

// An inspect.Signature whose annotations are the Python types the values
// travel as.
py::object Signature(const OperationType& type);
// "XmlOpen(filename: str) -> bool" and how the call goes; OWNER names the
// object, as its repr does.
std::string Docstring(const OperationType& type, const std::string& owner);

}  // namespace ostrel::python
