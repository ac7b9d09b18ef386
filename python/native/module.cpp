// The native half of the ostrel package: late-bound objects, references,
// Python handlers and message boxes over the component runtime.
#include <pybind11/pybind11.h>

#include <string>

#include <ostrel/com/com_object.h>
#include <ostrel/com/error_info.h>
#include "native/constructed.h"
#include "native/errors.h"
#include "native/event_types.h"
#include "native/events.h"
#include "native/late_bound_object.h"
#include "native/message_boxes.h"
#include "native/python_text.h"
#include "native/values.h"

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
      .def("__dir__",
           [](const py::object& self) {
             py::list names = py::module_::import("builtins").attr("dir")(py::type::of(self));
             for (const std::string& name : Constructed<const LateBoundObject>(self).OperationNames()) {
               names.append(name);
             }
             return names;
           })
      .def("__enter__", [](const py::object& self) { return self; })
      .def("__exit__", [](const py::object& self, const py::args&) { Constructed<LateBoundObject>(self).Release(); })
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
      .def_property_readonly("__signature__", Checked(&BoundOperation::Signature))
      .def_property_readonly("__doc__", Checked(&BoundOperation::Doc))
      .def("__repr__", Checked(&BoundOperation::Repr));

  py::class_<Ref>(module, "Ref", "A variable passed by reference: the callee's change shows in .value.")
      .def(py::init([](py::object value) { return Ref{std::move(value)}; }), py::arg("value") = py::none())
      .def_property(
          "value", [](py::handle self) { return Constructed<Ref>(self).value; },
          [](py::handle self, py::object value) { Constructed<Ref>(self).value = std::move(value); })
      .def("__repr__",
           [](py::handle self) { return "ostrel.Ref(" + std::string(py::repr(Constructed<Ref>(self).value)) + ")"; });

  ostrel::python::AddEventTypes(module);
  ostrel::python::AddEventsType(module);

  module.def("set_message_box", &ostrel::python::SetMessageBoxFunction, py::arg("function"),
             "Shows each message box by calling FUNCTION(text, caption); None restores the default, a line "
             "\"CAPTION: TEXT\" on sys.stderr. Returns the function it replaces (None for the default).");
  module.def(
      "take_error_info",
      []() -> py::object {
        const auto error = ostrel::com::TakeErrorInfo();
        return error ? ostrel::python::ErrorObject(*error) : py::none();
      },
      "The error a component left to say why its operation answered False (as ostrel.Error), taken; None when "
      "there is none. Take it once before the call, to drop anything older.");
  // For leak tests: whether any handler wrapper of this module is alive.
  module.def("_wrappers_alive", [] { return !ostrel::com::LocalServer().CanUnload(); });
}
