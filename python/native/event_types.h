// The event classes ostrel.read gives, ostrel.Start, Content, End and Fault:
// tuples with named fields that behave as collections.namedtuple's do
// (made by position or keyword, _fields, _make, _replace, _asdict,
// __match_args__, the same repr, pickling), made here in C++ so that an
// event costs no Python-level allocation or deallocation, its fields read
// as fast as an instance's own slots, and import ostrel need not load
// collections.
#pragma once

#include <pybind11/pybind11.h>

namespace ostrel::python {

namespace py = pybind11;

struct EventTypes {
  PyTypeObject* start;    // Start(name, attributes)
  PyTypeObject* content;  // Content(name, text)
  PyTypeObject* end;      // End(name)
  PyTypeObject* fault;    // Fault(position, message, content)
};

// Adds the four classes to MODULE; they live as long as the interpreter.
void AddEventTypes(py::module_& module);

// The classes AddEventTypes made.
const EventTypes& EventTypesOf();

}  // namespace ostrel::python
