// Python values as the variants of a late-bound call, and back.
//
//   str  <-> text           bool <-> Boolean (True is -1 on the wire)
//   int  ->  32-bit integer, which Invoke narrows to the parameter's type
//   None ->  no object      ostrel.Dispatch -> that object
//   any other object -> a handler that calls its methods by name
//
// An integer beyond 32 bits fails with the overflow error (6), as Invoke's
// own narrowing does.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <vector>

#include <ostrel/com/com.h>
#include <ostrel/com/owned_variant.h>

namespace ostrel::python {

namespace py = pybind11;

// ostrel.Ref: a variable the callee may change; the change shows in .value.
struct Ref {
  py::object value;
};

py::object FromVariant(const VARIANT& value);

// The Python object for OBJECT (null gives None): the Python handler it wraps,
// an ostrel.Collection, or an ostrel.Dispatch.
py::object WrapObject(IDispatch* object);

// The arguments of one call. Each is a variant of our own that the callee
// receives by reference (VT_BYREF | VT_VARIANT), as a late-bound client passes
// its variables: a plain value is a temporary, whose changes are dropped; an
// ostrel.Ref's variant is read back by UpdateRefs.
class CallArguments {
 public:
  explicit CallArguments(const py::tuple& arguments);
  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;

  VARIANT* references() { return references_.data(); }
  uint32_t count() const { return static_cast<uint32_t>(references_.size()); }

  // Gives each ostrel.Ref the value the callee left in its variable. An object
  // left as it was given keeps its Python identity.
  void UpdateRefs();

 private:
  std::vector<ostrel::com::OwnedVariant> values_;
  std::vector<VARIANT> references_;
  std::vector<py::object> refs_;  // the ostrel.Ref of each argument, or None
};

}  // namespace ostrel::python
