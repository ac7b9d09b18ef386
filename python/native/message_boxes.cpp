#include "native/message_boxes.h"

#include <string>

#include <ostrel/com/message_box.h>
#include "native/errors.h"
#include "native/python_text.h"

namespace ostrel::python {
namespace {

// A raw reference, so that nothing is left for C++ to release after the
// interpreter has gone.
PyObject* userFunction = nullptr;

void ShowInPython(void*, std::u16string_view text, std::u16string_view caption) {
  try {
    if (userFunction) {
      py::reinterpret_borrow<py::object>(userFunction)(FromText(text), FromText(caption));
      return;
    }
    const py::object stderrFile = py::module_::import("sys").attr("stderr");
    if (stderrFile.is_none()) return;
    stderrFile.attr("write")(FromText(std::u16string(caption) + u": " + std::u16string(text) + u"\n"));
    stderrFile.attr("flush")();
  } catch (py::error_already_set& exception) {
    CallbackScope::Keep(u"メッセージボックス", exception);
  }
}

void StandDown() {
  ostrel::com::SetMessageBoxSink({nullptr, nullptr});
  Py_CLEAR(userFunction);
}

}  // namespace

void InstallMessageBoxSink() {
  ostrel::com::SetMessageBoxSink({ShowInPython, nullptr});
  py::module_::import("atexit").attr("register")(py::cpp_function(StandDown));
}

py::object SetMessageBoxFunction(const py::object& function) {
  if (!function.is_none() && !PyCallable_Check(function.ptr())) {
    throw py::type_error("set_message_box takes a function of (text, caption), or None");
  }
  py::object previous = userFunction ? py::reinterpret_steal<py::object>(userFunction) : py::none();
  userFunction = function.is_none() ? nullptr : py::object(function).release().ptr();
  return previous;
}

}  // namespace ostrel::python
