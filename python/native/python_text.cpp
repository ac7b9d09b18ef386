#include "native/python_text.h"

#include <algorithm>
#include <cctype>

namespace ostrel::python {

std::u16string ToText(py::handle value) {
  if (!PyUnicode_Check(value.ptr())) throw py::type_error("a text must be a str");
  const auto bytes = py::reinterpret_steal<py::object>(
      PyUnicode_AsEncodedString(value.ptr(), "utf-16-le", "surrogatepass"));
  if (!bytes) throw py::error_already_set();
  char* data = nullptr;
  Py_ssize_t size = 0;
  PyBytes_AsStringAndSize(bytes.ptr(), &data, &size);
  std::u16string text(static_cast<std::size_t>(size) / sizeof(char16_t), u'\0');
  std::char_traits<char>::copy(reinterpret_cast<char*>(text.data()), data, static_cast<std::size_t>(size));
  return text;
}

py::str FromText(std::u16string_view text) {
  // Without a surrogate each unit is a code point, and Python's own routine
  // (which finds the narrowest form a word at a time) takes the text as it
  // stands: the common case, and the quicker.
  bool surrogate = false;
  for (char16_t unit : text) surrogate |= (unit & 0xF800) == 0xD800;
  if (!surrogate) {
    PyObject* made = PyUnicode_FromKindAndData(PyUnicode_2BYTE_KIND, text.data(), static_cast<Py_ssize_t>(text.size()));
    if (!made) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(made);
  }
  int littleEndian = -1;
  PyObject* decoded = PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(text.data()),
                                            static_cast<Py_ssize_t>(text.size() * sizeof(char16_t)),
                                            "surrogatepass", &littleEndian);
  if (!decoded) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(decoded);
}

// os.PathLike's check is cached per type, so an object that is not one
// costs no failed attribute look-up each time.
bool IsPathLike(py::handle value) {
  static const py::object* const pathLike = new py::object(py::module_::import("os").attr("PathLike"));
  const int found = PyObject_IsInstance(value.ptr(), pathLike->ptr());
  if (found < 0) throw py::error_already_set();
  return found == 1;
}

py::str PathText(py::handle value) {
  const auto path = py::reinterpret_steal<py::object>(PyOS_FSPath(value.ptr()));
  if (!path) throw py::error_already_set();
  if (!PyBytes_Check(path.ptr())) return py::reinterpret_borrow<py::str>(path);
  const auto text = py::reinterpret_steal<py::object>(
      PyUnicode_DecodeFSDefaultAndSize(PyBytes_AS_STRING(path.ptr()), PyBytes_GET_SIZE(path.ptr())));
  if (!text) throw py::error_already_set();
  return py::reinterpret_borrow<py::str>(text);
}

std::u16string TextFromUtf8(std::string_view utf8) {
  const auto decoded = py::reinterpret_steal<py::object>(
      PyUnicode_DecodeUTF8(utf8.data(), static_cast<Py_ssize_t>(utf8.size()), "replace"));
  if (!decoded) throw py::error_already_set();
  return ToText(decoded);
}

std::string Utf8FromText(std::u16string_view text) {
  const auto bytes = py::reinterpret_steal<py::object>(PyUnicode_AsEncodedString(FromText(text).ptr(), "utf-8", "replace"));
  if (!bytes) throw py::error_already_set();
  return std::string(PyBytes_AS_STRING(bytes.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes.ptr())));
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace ostrel::python
