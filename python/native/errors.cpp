#include "native/errors.h"

#include <exception>
#include <string>

#include <ostrel/com/error_info.h>
#include "native/python_text.h"

namespace ostrel::python {
namespace {

thread_local CallbackScope* innermost = nullptr;

py::object ErrorType() { return py::module_::import("ostrel").attr("Error"); }

// "ValueError: boom", as Python's last traceback line has it.
std::u16string Describe(const py::object& exception) {
  std::u16string text = TextFromUtf8(Py_TYPE(exception.ptr())->tp_name);
  try {
    const std::u16string message = ToText(py::str(exception));
    if (!message.empty()) text += u": " + message;
  } catch (py::error_already_set&) {
    // An exception whose str() fails is still named by its type.
  }
  return text;
}

void Raise(const py::object& exception) {
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exception.ptr())), exception.ptr());
  throw py::error_already_set();
}

}  // namespace

py::object ErrorObject(const ostrel::com::RuntimeError& error, py::handle filename) {
  return ErrorType()(error.number(), FromText(error.description()), filename);
}

void RegisterErrorTranslator() {
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const ostrel::com::RuntimeError& error) {
      const py::object value = ErrorObject(error);
      PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(value.ptr())), value.ptr());
    }
  });
}

CallbackScope::CallbackScope() : outer_(innermost) { innermost = this; }

CallbackScope::~CallbackScope() { innermost = outer_; }

void CallbackScope::Finish(HRESULT status) {
  if (!kept_) {
    ostrel::com::Check(status);
    return;
  }
  const py::object exception = std::move(kept_);
  if (Failed(status)) {
    const py::object error = ErrorObject(ostrel::com::ErrorFromStatus(status));
    try {
      exception.attr("ostrel_error") = error;
      exception.attr("add_note")("ostrel: the call failed with run-time error " + std::string(py::str(error)));
    } catch (py::error_already_set&) {
      // An exception that takes no attributes still comes out as it was raised.
    }
  }
  Raise(exception);
}

HRESULT CallbackScope::Keep(std::u16string_view where, py::error_already_set& exception) {
  if (!innermost) {
    exception.discard_as_unraisable(Utf8FromText(where).c_str());
    return S_OK;
  }
  const py::object value = exception.value();
  if (exception.trace()) PyException_SetTraceback(value.ptr(), exception.trace().ptr());
  const std::u16string description = std::u16string(where) + u" で Python の例外が発生しました: " + Describe(value);
  if (!innermost->kept_) innermost->kept_ = value;
  return ostrel::com::ReportError(ostrel::com::RuntimeError(kPythonException, description));
}

}  // namespace ostrel::python
