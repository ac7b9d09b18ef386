// ostrel.Events, the iterator ostrel.read returns: a CXmlReader's events
// pulled a batch at a time through IXmlEventSource, each made into a Python
// event (ostrel.Start, Content, End, Fault) in C++ when the loop asks for it,
// so a Python loop pays neither a callback nor a Python-level call per event.
//
// It holds the library's file slot from its creation until its last event
// has been taken, close() is called, its with block ends or it is collected.
// A run-time error of the read is raised by the step that meets it and ends
// the iteration.
#pragma once

#include <pybind11/pybind11.h>

namespace ostrel::python {

namespace py = pybind11;

// Adds the type to MODULE as "Events".
void AddEventsType(py::module_& module);

}  // namespace ostrel::python
