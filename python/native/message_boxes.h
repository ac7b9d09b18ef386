// Message boxes shown from Python: by default a line "CAPTION: TEXT" on
// sys.stderr (so "Ostrel: TEXT" for the library's own), like the tools;
// ostrel.set_message_box(function) hands each text and caption to FUNCTION
// instead, and set_message_box(None) restores the default.
#pragma once

#include <pybind11/pybind11.h>

namespace ostrel::python {

namespace py = pybind11;

// Installs the sink; it stands down when the interpreter exits.
void InstallMessageBoxSink();
void SetMessageBoxFunction(const py::object& function);

}  // namespace ostrel::python
