// A Python object standing in as a component: passed where a handler is
// expected, it is wrapped as an object of our own that answers
// QueryInterface for _IXmlHandler and IDispatch and calls the Python methods
// of the same names (matched without regard to case when no exact one
// exists). A method the object lacks does nothing, as the library's own
// IXmlHandler does.
//
// parmList reaches StartElement as an ostrel.Collection that is withdrawn
// when the method returns, since the reader empties and reuses the list.
// A Python exception fails the callback (see errors.h).
#pragma once

#include <pybind11/pybind11.h>

#include <array>

#include <ostrel/com/com.h>
#include <ostrel/com/dispatch.h>
#include <ostrel/ostrel.h>

namespace ostrel::python {

namespace py = pybind11;

// Answered only by our wrappers: the Python object behind one, so that it
// comes back to Python as itself.
struct PythonObject : IUnknown {
  static constexpr IID iid = {0x5B1E7C60, 0x2F4A, 0x4D39, {0xA8, 0x61, 0x0E, 0x52, 0x9D, 0x33, 0x70, 0x01}};
  virtual PyObject* Target() = 0;

 protected:
  ~PythonObject() = default;
};

class PythonHandler final : public ostrel::com::DispatchObject<PythonHandler, _IXmlHandler, PythonObject> {
 public:
  // A new wrapper of TARGET with one reference, for a variant to own.
  static IDispatch* Wrap(py::handle target);

  static const ostrel::com::DispatchTable<PythonHandler>& Members();

  explicit PythonHandler(py::handle target);
  ~PythonHandler() override;

  HRESULT ErrElement(int32_t* ln, BSTR* msg, BSTR* content) override;
  HRESULT StartElement(BSTR* tagname, Collection** parmList) override;
  HRESULT EndElement(BSTR* tagname) override;
  HRESULT contentData(BSTR* tagname, BSTR* contentData) override;
  PyObject* Target() override { return target_.ptr(); }

 private:
  enum Callback { kErrElement, kStartElement, kEndElement, kContentData, kCallbacks };

  // Calls the method for CALLBACK, if the object has one, with the tuple
  // MAKE_ARGUMENTS() gives.
  template <class MakeArguments>
  HRESULT Call(Callback callback, MakeArguments&& makeArguments);

  py::object target_;
  std::array<py::object, kCallbacks> methods_;  // None where the object has no such method
};

}  // namespace ostrel::python
