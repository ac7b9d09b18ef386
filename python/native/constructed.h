// An object of one of the module's classes made without its constructor
// (T.__new__(T)) holds no C++ object. Every use of one goes through Constructed, which raises TypeError
// for it instead of touching memory that holds nothing.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <utility>

namespace ostrel::python {

namespace py = pybind11;

// OBJECT must be an instance of one of the module's classes.
inline bool HoldsItsObject(py::handle object) {
  return reinterpret_cast<py::detail::instance*>(object.ptr())->get_value_and_holder().holder_constructed();
}

// The T behind OBJECT, an instance of T's class or of a subclass.
template <class T>
T& Constructed(py::handle object) {
  if (!HoldsItsObject(object)) {
    throw py::type_error(std::string(Py_TYPE(object.ptr())->tp_name) +
                         " object was made without its constructor and holds nothing to use");
  }
  return object.cast<T&>();
}

// METHOD as a binding whose object is checked first.
template <class T, class Result, class... Arguments>
auto Checked(Result (T::*method)(Arguments...) const) {
  return [method](py::handle self, Arguments... arguments) -> Result {
    return (Constructed<const T>(self).*method)(std::forward<Arguments>(arguments)...);
  };
}

}  // namespace ostrel::python
