#include "native/event_types.h"

#include <structmember.h>

#include <array>
#include <cstddef>
#include <string>

namespace ostrel::python {
namespace {

constexpr std::size_t kMostFields = 3;

struct EventClass {
  const char* name;  // as Python shows it, module included
  std::array<const char*, kMostFields> fields;
  std::size_t fieldCount;
  const char* doc;  // led by the signature, which inspect.signature reads
};

const std::array<EventClass, 4> kClasses = {{
    {"ostrel.Start",
     {"name", "attributes"},
     2,
     "Start(name, attributes)\n--\n\n"
     "A start tag (StartElement): its name and its attributes, a dict in tag order, values without their "
     "quotation marks. Keys are as written; the reader refuses two that differ only in case."},
    {"ostrel.Content",
     {"name", "text"},
     2,
     "Content(name, text)\n--\n\n"
     "The text of element NAME (contentData), its references decoded. The read ends with one whose name and "
     "text are empty."},
    {"ostrel.End", {"name"}, 1, "End(name)\n--\n\nThe end of element NAME (EndElement)."},
    {"ostrel.Fault",
     {"position", "message", "content"},
     3,
     "Fault(position, message, content)\n--\n\n"
     "The reader's first nesting fault (ErrElement); the read ends with it. POSITION counts the tokens read up "
     "to the fault, this one included."},
}};

EventTypes types{};

// Fields are the tuple's items, read in place: a read-only slot each.
constexpr Py_ssize_t ItemOffset(std::size_t index) {
  return static_cast<Py_ssize_t>(offsetof(PyTupleObject, ob_item) + index * sizeof(PyObject*));
}

constexpr std::array<const char*, kMostFields> kFieldDocs = {"Alias for field number 0", "Alias for field number 1",
                                                             "Alias for field number 2"};

// A class made at run time is itself reference counted, and each instance
// holds a reference to it: the instance releases it last.
void Dealloc(PyObject* self) {
  PyObject_GC_UnTrack(self);
  Py_TRASHCAN_BEGIN(self, Dealloc)
  PyTypeObject* type = Py_TYPE(self);
  for (Py_ssize_t i = Py_SIZE(self); i-- > 0;) Py_XDECREF(PyTuple_GET_ITEM(self, i));
  type->tp_free(self);
  Py_DECREF(type);
  Py_TRASHCAN_END
}

int Traverse(PyObject* self, visitproc visit, void* arg) {
  Py_VISIT(Py_TYPE(self));
  for (Py_ssize_t i = 0; i < Py_SIZE(self); ++i) Py_VISIT(PyTuple_GET_ITEM(self, i));
  return 0;
}

py::tuple FieldsOf(py::handle type) { return type.attr("_fields"); }

// An instance of TYPE holding VALUES, as tuple.__new__ makes it, so that a
// subclass gets what it asks for.
py::object FromValues(py::handle type, const py::tuple& values) {
  const py::tuple arguments = py::make_tuple(values);
  PyObject* made = PyTuple_Type.tp_new(reinterpret_cast<PyTypeObject*>(type.ptr()), arguments.ptr(), nullptr);
  if (!made) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(made);
}

std::string NameOf(py::handle type) { return py::str(type.attr("__name__")); }

// The names in KEYWORDS that are none of FIELDS, in the order given.
py::list NotFields(const py::tuple& fields, const py::dict& keywords) {
  py::list names;
  for (const auto item : keywords) {
    if (!fields.contains(item.first)) names.append(item.first);
  }
  return names;
}

// Start("a", {}) or Start(name="a", attributes={}), as a named tuple takes
// its fields.
py::object New(py::handle type, const py::args& positional, const py::kwargs& keywords) {
  const py::tuple fields = FieldsOf(type);
  const std::string name = NameOf(type);
  const auto quoted = [](py::handle field) { return "'" + py::str(field).cast<std::string>() + "'"; };
  if (positional.size() > fields.size()) {
    throw py::type_error(name + "() takes " + std::to_string(fields.size()) + " positional arguments but " +
                         std::to_string(positional.size()) + " were given");
  }
  py::tuple values(fields.size());
  std::size_t used = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const bool named = keywords.contains(fields[i]);
    if (i < positional.size()) {
      if (named) throw py::type_error(name + "() got multiple values for argument " + quoted(fields[i]));
      values[i] = positional[i];
    } else if (named) {
      values[i] = keywords[fields[i]];
      ++used;
    } else {
      throw py::type_error(name + "() missing required argument " + quoted(fields[i]));
    }
  }
  if (used != keywords.size()) {
    for (const auto item : keywords) {
      if (!fields.contains(item.first)) {
        throw py::type_error(name + "() got an unexpected keyword argument " + quoted(item.first));
      }
    }
  }
  return FromValues(type, values);
}

py::object Make(py::handle type, const py::iterable& iterable) {
  const py::tuple values(iterable);
  const std::size_t expected = FieldsOf(type).size();
  if (values.size() != expected) {
    throw py::type_error("Expected " + std::to_string(expected) + " arguments, got " + std::to_string(values.size()));
  }
  return FromValues(type, values);
}

py::object Replace(const py::tuple& self, const py::kwargs& changes) {
  const py::handle type = py::type::handle_of(self);
  const py::tuple fields = FieldsOf(type);
  py::tuple values(fields.size());
  std::size_t used = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const bool changed = changes.contains(fields[i]);
    values[i] = changed ? py::object(changes[fields[i]]) : py::object(self[i]);
    used += changed ? 1 : 0;
  }
  if (used != changes.size()) {
    throw py::value_error("Got unexpected field names: " + py::repr(NotFields(fields, changes)).cast<std::string>());
  }
  return FromValues(type, values);
}

py::dict AsDict(const py::tuple& self) {
  const py::tuple fields = FieldsOf(py::type::handle_of(self));
  py::dict dict;
  for (std::size_t i = 0; i < fields.size(); ++i) dict[fields[i]] = self[i];
  return dict;
}

// Start(name='a', attributes={}); one that holds itself shows "..." there.
py::str Repr(const py::tuple& self) {
  const int entered = Py_ReprEnter(self.ptr());
  if (entered != 0) {
    if (entered < 0) throw py::error_already_set();
    return py::str("...");
  }
  struct Leave {
    PyObject* self;
    ~Leave() { Py_ReprLeave(self); }
  } leave{self.ptr()};
  const py::handle type = py::type::handle_of(self);
  const py::tuple fields = FieldsOf(type);
  py::list parts;
  for (std::size_t i = 0; i < fields.size(); ++i) parts.append(py::str("{}={!r}").format(fields[i], self[i]));
  return py::str("{}({})").format(type.attr("__name__"), py::str(", ").attr("join")(parts));
}

// Pickling and copying make the event again from its fields.
py::tuple NewArguments(const py::tuple& self) {
  return py::reinterpret_steal<py::tuple>(PyTuple_GetSlice(self.ptr(), 0, PyTuple_GET_SIZE(self.ptr())));
}

py::object MakeType(const EventClass& eventClass) {
  std::array<PyMemberDef, kMostFields + 1> members{};
  for (std::size_t i = 0; i < eventClass.fieldCount; ++i) {
    members[i] = {eventClass.fields[i], T_OBJECT_EX, ItemOffset(i), READONLY, kFieldDocs[i]};
  }
  std::array<PyType_Slot, 5> slots = {{
      {Py_tp_dealloc, reinterpret_cast<void*>(Dealloc)},
      {Py_tp_traverse, reinterpret_cast<void*>(Traverse)},
      {Py_tp_members, members.data()},
      {Py_tp_doc, const_cast<char*>(eventClass.doc)},
      {0, nullptr},
  }};
  PyType_Spec classDescription = {eventClass.name, static_cast<int>(PyTuple_Type.tp_basicsize),
                                   static_cast<int>(PyTuple_Type.tp_itemsize),
                                   Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC, slots.data()};
  const py::tuple bases = py::make_tuple(py::handle(reinterpret_cast<PyObject*>(&PyTuple_Type)));
  auto type = py::reinterpret_steal<py::object>(PyType_FromSpecWithBases(&classDescription, bases.ptr()));
  if (!type) throw py::error_already_set();

  py::tuple fields(eventClass.fieldCount);
  for (std::size_t i = 0; i < eventClass.fieldCount; ++i) fields[i] = py::str(eventClass.fields[i]);
  type.attr("_fields") = fields;
  type.attr("__match_args__") = fields;
  type.attr("_field_defaults") = py::dict();
  type.attr("__new__") = py::staticmethod(py::cpp_function(New, py::name("__new__")));
  type.attr("_make") = py::reinterpret_steal<py::object>(
      PyClassMethod_New(py::cpp_function(Make, py::name("_make")).ptr()));
  type.attr("_replace") = py::cpp_function(Replace, py::name("_replace"), py::is_method(type));
  type.attr("_asdict") = py::cpp_function(AsDict, py::name("_asdict"), py::is_method(type));
  type.attr("__repr__") = py::cpp_function(Repr, py::name("__repr__"), py::is_method(type));
  type.attr("__getnewargs__") = py::cpp_function(NewArguments, py::name("__getnewargs__"), py::is_method(type));
  return type;
}

}  // namespace

void AddEventTypes(py::module_& module) {
  std::array<PyTypeObject*, kClasses.size()> made{};
  for (std::size_t i = 0; i < kClasses.size(); ++i) {
    const py::object type = MakeType(kClasses[i]);
    module.add_object(NameOf(type).c_str(), type);
    made[i] = reinterpret_cast<PyTypeObject*>(type.ptr());
  }
  types = {made[0], made[1], made[2], made[3]};
}

const EventTypes& EventTypesOf() { return types; }

}  // namespace ostrel::python
