#include "native/python_text.h"

#include <algorithm>
#include <cctype>

#include <ostrel/com/unicode.h>

namespace ostrel::python {

std::u16string ToText(py::handle value) {
  if (!PyUnicode_Check(value.ptr())) throw py::type_error("a text must be a str");
  // Straight from the str's own form: a codec would cost an import of its
  // module at the first call. A code point beyond the first plane is a
  // surrogate pair, a lone surrogate stays the unit it is.
  PyObject* str = value.ptr();
  if (PyUnicode_READY(str) < 0) throw py::error_already_set();
  const Py_ssize_t length = PyUnicode_GET_LENGTH(str);
  const int kind = PyUnicode_KIND(str);
  const void* data = PyUnicode_DATA(str);
  std::u16string text;
  text.reserve(static_cast<std::size_t>(length));
  for (Py_ssize_t i = 0; i < length; ++i) ostrel::com::utf16::Append(PyUnicode_READ(kind, data, i), text);
  return text;
}

py::str FromText(std::u16string_view text) {
  // Without a surrogate each unit is a code point: the widest unit names the
  // narrowest form that holds the text, and the units go straight into a
  // str of that form, one pass to measure and one to copy. Nearly every text
  // is such; one with a surrogate is decoded, pairs joined.
  // Surrogates are the units that fall below 0x800 once 0xD800 is taken
  // away (modulo 2^16): both measures are a minimum or maximum, which the
  // compiler makes in vector registers.
  char16_t widest = 0;
  char16_t nearestSurrogate = 0xFFFF;
  for (char16_t unit : text) {
    widest = std::max(widest, unit);
    nearestSurrogate = std::min(nearestSurrogate, static_cast<char16_t>(unit - 0xD800));
  }
  if (nearestSurrogate >= 0x800) {
    PyObject* made = PyUnicode_New(static_cast<Py_ssize_t>(text.size()), widest);
    if (!made) throw py::error_already_set();
    if (widest < 0x100) {
      std::copy(text.begin(), text.end(), PyUnicode_1BYTE_DATA(made));
    } else {
      std::copy(text.begin(), text.end(), PyUnicode_2BYTE_DATA(made));
    }
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
