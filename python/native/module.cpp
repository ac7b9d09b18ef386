// The native half of the ostrel package: late-bound objects, references,
// Python handlers and message boxes over the component runtime.
#include <pybind11/pybind11.h>

#include <string>

#include <ostrel/com/com_object.h>
#include "python/native/constructed.h"
#include "python/native/errors.h"
#include "python/native/late_bound_object.h"
#include "python/native/message_boxes.h"
#include "python/native/python_text.h"
#include "python/native/values.h"

namespace py = pybind11;
using ostrel::python::BoundOperation;
using ostrel::python::Checked;
using ostrel::python::CollectionView;
using ostrel::python::Constructed;
using ostrel::python::LateBoundObject;
using ostrel::python::Ref;

PYBIND11_MODULE(_native, module) {
  ostrel::python::RegisterErrorTranslator();
  ostrel::python::InstallMessageBoxSink();

  py::class_<LateBoundObject>(module, "Dispatch",
                              "An object of a registered class, by ProgID or \"{CLSID}\"; its operations are "
                              "attributes, named in any case.")
      .def(py::init([](const py::str& name) { return LateBoundObject::Create(ostrel::python::ToText(name)); }),
           py::arg("progid_or_clsid"))
      .def("__getattr__",
           [](const py::object& self, const std::string& name) {
             return Constructed<const LateBoundObject>(self).Operation(self, name);
           })
      .def("__repr__", Checked(&LateBoundObject::Repr));

  py::class_<CollectionView, LateBoundObject>(module, "Collection",
                                              "The platform's Collection: texts in order, each may be filed under "
                                              "a key (compared without regard to case); positions count from 1.")
      .def(py::init(&CollectionView::New))
      .def("__len__", Checked(&CollectionView::Count))
      .def("__contains__", Checked(&CollectionView::Contains))
      .def("__getitem__", Checked(&CollectionView::Item))
      .def("__iter__",
           [](py::handle) -> py::object { throw py::type_error("iterate over a Collection's .items()"); })
      .def("items", Checked(&CollectionView::Items));

  py::class_<BoundOperation>(module, "Operation")
      .def("__call__", Checked(&BoundOperation::Call))
      .def("__repr__", Checked(&BoundOperation::Repr));

  py::class_<Ref>(module, "Ref", "A variable passed by reference: the callee's change shows in .value.")
      .def(py::init([](py::object value) { return Ref{std::move(value)}; }), py::arg("value") = py::none())
      .def_property(
          "value", [](py::handle self) { return Constructed<Ref>(self).value; },
          [](py::handle self, py::object value) { Constructed<Ref>(self).value = std::move(value); })
      .def("__repr__",
           [](py::handle self) { return "ostrel.Ref(" + std::string(py::repr(Constructed<Ref>(self).value)) + ")"; });

  module.def("set_message_box", &ostrel::python::SetMessageBoxFunction, py::arg("function"),
             "Shows each message box by calling FUNCTION(text, caption); None restores the default, a line "
             "\"CAPTION: TEXT\" on sys.stderr.");
  // For leak tests: whether any handler wrapper of this module is alive.
  module.def("_wrappers_alive", [] { return !ostrel::com::LocalServer().CanUnload(); });
}
