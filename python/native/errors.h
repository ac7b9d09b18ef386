// How failures cross into Python.
//
// A run-time error becomes ostrel.Error. A Python exception raised in code
// that a component calls back (a handler's method, the message box function)
// cannot pass through the component: the callback fails with
// kPythonException instead, and the exception is kept by the innermost
// CallbackScope, which raises it once the call from Python has returned.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string_view>

#include <ostrel/com/com.h>
#include <ostrel/com/runtime_error.h>

namespace ostrel::python {

namespace py = pybind11;

// The number the platform gives an error raised inside an automation object.
constexpr int32_t kPythonException = 440;

// FILENAME, when given, is the file an OSError kind of it names.
py::object ErrorObject(const ostrel::com::RuntimeError& error, py::handle filename = py::none());
// Lets C++ code raise RuntimeError (Check, Raise) and Python see ostrel.Error.
void RegisterErrorTranslator();

// Open for the length of one call from Python into a component; scopes nest
// when a callback calls a component again.
class CallbackScope {
 public:
  CallbackScope();
  CallbackScope(const CallbackScope&) = delete;
  CallbackScope& operator=(const CallbackScope&) = delete;
  ~CallbackScope();

  // Raises the exception a callback raised during the call, if any; when the
  // call failed (STATUS), the exception carries that error as .ostrel_error
  // and says so in a note. Otherwise raises ostrel.Error for a failed STATUS.
  void Finish(HRESULT status);

  // Keeps the Python exception being handled for the innermost scope (the
  // first one per scope counts) and returns the failed status the callback
  // named WHERE gives its caller. Call it from a catch block.
  static HRESULT Keep(std::u16string_view where, py::error_already_set& exception);

 private:
  py::object kept_;
  CallbackScope* outer_;
};

}  // namespace ostrel::python
