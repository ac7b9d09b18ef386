// Python str <-> the UTF-16 text of the component boundary. Lone surrogates
// pass unchanged both ways, so a file name Python decoded with
// surrogateescape reaches the component as Python holds it.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <string_view>

namespace ostrel::python {

namespace py = pybind11;

// Raises TypeError when VALUE is no str.
std::u16string ToText(py::handle value);
py::str FromText(std::u16string_view text);

}  // namespace ostrel::python
