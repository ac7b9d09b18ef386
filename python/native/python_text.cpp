#include "python/native/python_text.h"

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
  int littleEndian = -1;
  PyObject* decoded = PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(text.data()),
                                            static_cast<Py_ssize_t>(text.size() * sizeof(char16_t)),
                                            "surrogatepass", &littleEndian);
  if (!decoded) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(decoded);
}

}  // namespace ostrel::python
