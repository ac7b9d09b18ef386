// Message boxes shown from Python: by default a line "CAPTION: TEXT" on
// sys.stderr (so "Ostrel: TEXT" for the library's own), like the tools;
// ostrel.set_message_box(function) hands each text and caption to FUNCTION
// instead, and set_message_box(None) restores the default. It returns the
// function it replaces (None for the default), so a caller can put it back.
#pragma once

#include <pybind11/pybind11.h>

namespace ostrel::python {

namespace py = pybind11;

// Installs the sink; it stands down when the interpreter exits.
void InstallMessageBoxSink();
py::object SetMessageBoxFunction(const py::object& function);

}  // namespace ostrel::python
