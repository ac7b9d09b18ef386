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

// A file name given as an os.PathLike (str is not one): the str os.fspath
// gives, or for bytes, the str os.fsdecode makes of them.
bool IsPathLike(py::handle value);
py::str PathText(py::handle value);

// Between UTF-16 and UTF-8 for the names of the module's own (operations,
// exception types); Python's codecs do it, so the module needs nothing of
// the library's internals.
std::u16string TextFromUtf8(std::string_view utf8);
std::string Utf8FromText(std::u16string_view text);

// Names of operations and arguments compare as the component model compares
// them: ASCII letters without regard to case.
bool SameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace ostrel::python
