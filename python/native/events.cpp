#include "native/events.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include <ostrel/com/com_ptr.h>
#include <ostrel/com/com_runtime.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/event_source.h>
#include <ostrel/ostrel.h>
#include "native/errors.h"
#include "native/event_types.h"
#include "native/python_text.h"

namespace ostrel::python {
namespace {

using ostrel::com::ComPtr;

// An event of TYPE holding ITEMS, left untracked by the cycle
// collector: an event of texts and numbers alone can be part of no cycle,
// and tracked, the events of a file would set off a collection every few
// hundred of them. Every item is set at once, so the tuple is not zeroed
// first as tp_alloc would.
template <class... Items>
PyObject* MakeTuple(PyTypeObject* type, Items&&... items) {
  PyTupleObject* made = PyObject_GC_NewVar(PyTupleObject, type, sizeof...(Items));
  if (!made) throw py::error_already_set();
  Py_ssize_t at = 0;
  ((made->ob_item[at++] = items.release().ptr()), ...);
  return reinterpret_cast<PyObject*>(made);
}

// Element and attribute names repeat from tag to tag: each distinct one of
// the last few is made into a str once.
class NameCache {
 public:
  py::object Get(std::u16string_view name) {
    // The name of the last look comes back most often: look there first.
    if (Holds(entries_[last_], name)) return entries_[last_].text;
    return Find(name);
  }

 private:
  struct Entry {
    std::u16string name;
    py::object text;
  };
  // Out of line, so that the common hit above stays small enough to inline.
  __attribute__((noinline)) py::object Find(std::u16string_view name) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (Holds(entries_[i], name)) {
        last_ = i;
        return entries_[i].text;
      }
    }
    last_ = next_;
    Entry& slot = entries_[next_];
    next_ = (next_ + 1) % entries_.size();
    slot.text = FromText(name);
    slot.name.assign(name);
    return slot.text;
  }

  // Names are short: comparing their bytes beats comparing unit by unit.
  static bool Holds(const Entry& entry, std::u16string_view name) {
    return entry.text && entry.name.size() == name.size() &&
           std::memcmp(entry.name.data(), name.data(), name.size() * sizeof(char16_t)) == 0;
  }

  std::array<Entry, 8> entries_;
  std::size_t next_ = 0;
  std::size_t last_ = 0;
};

class Reading {
 public:
  explicit Reading(const std::u16string& filename) {
    source_ = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId).As<IXmlEventSource>();
    if (!source_) ostrel::com::Raise(ostrel::com::errnum::kNoSuchInterface);
    ostrel::com::Bstr name(filename);
    ostrel::com::Check(source_->Open(name.Address()));
  }
  Reading(const Reading&) = delete;
  Reading& operator=(const Reading&) = delete;
  ~Reading() { Close(); }

  // The next event as a new reference, or null once there is none.
  PyObject* Next() {
    while (next_ == batch_.count) {
      if (!source_ || !more_) {
        Close();
        return nullptr;
      }
      Fetch();
    }
    return Make(batch_.events[next_++]);
  }

  // Frees the file slot; later steps give no event.
  void Close() {
    batch_ = {};
    next_ = 0;
    if (source_) source_->Close();
    source_.Reset();
  }

 private:
  void Fetch() {
    next_ = 0;
    VARIANT_BOOL more = VARIANT_FALSE;
    const HRESULT status = source_->Next(&batch_, &more);
    if (Failed(status)) {
      Close();
      ostrel::com::Check(status);
    }
    more_ = more != VARIANT_FALSE;
  }

  PyObject* Make(const XmlEvent& event) {
    const EventTypes& types = EventTypesOf();
    switch (event.kind) {
      case XmlEventKind::Start: {
        // Its dict may come to hold the event itself: the collector must see it.
        PyObject* start = MakeTuple(types.start, elementNames_.Get(event.name), Attributes(event));
        PyObject_GC_Track(start);
        return start;
      }
      case XmlEventKind::Content: return MakeTuple(types.content, elementNames_.Get(event.name), FromText(event.text));
      case XmlEventKind::End: return MakeTuple(types.end, elementNames_.Get(event.name));
      case XmlEventKind::Fault:
        return MakeTuple(types.fault, py::int_(event.position), FromText(event.message), FromText(event.text));
    }
    ostrel::com::Raise(ostrel::com::errnum::kInternal);
  }

  py::dict Attributes(const XmlEvent& event) {
    py::dict attributes;
    for (uint32_t i = 0; i < event.attributeCount; ++i) {
      const py::object value = FromText(event.attributes[i].value);
      if (PyDict_SetItem(attributes.ptr(), attributeKeys_.Get(event.attributes[i].key).ptr(), value.ptr()) != 0) {
        throw py::error_already_set();
      }
    }
    return attributes;
  }

  ComPtr<IXmlEventSource> source_;
  XmlEventBatch batch_{};
  uint32_t next_ = 0;
  bool more_ = true;
  // Apart, so that each finds its name at the first look: a tag's name comes
  // back at its content and its end, and its attributes' keys at the next tag.
  NameCache elementNames_;
  NameCache attributeKeys_;
};

struct EventsObject {
  PyObject_HEAD
  Reading* reading;  // null once closed
};

Reading* ReadingOf(PyObject* self) { return reinterpret_cast<EventsObject*>(self)->reading; }

void Close(PyObject* self) {
  auto* events = reinterpret_cast<EventsObject*>(self);
  delete std::exchange(events->reading, nullptr);
}

// Runs BODY, turning what it throws into the Python error it stands for;
// returns FAILED then.
template <class Result, class Body>
Result Translated(Body body, Result failed, PyObject* filename = nullptr) {
  try {
    return body();
  } catch (py::error_already_set& error) {
    error.restore();
  } catch (py::builtin_exception& error) {
    error.set_error();
  } catch (const ostrel::com::RuntimeError& error) {
    const py::object value = ErrorObject(error, filename ? py::handle(filename) : py::none());
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(value.ptr())), value.ptr());
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  }
  return failed;
}

PyObject* New(PyTypeObject* type, PyObject* arguments, PyObject* keywords) {
  static const char* names[] = {"filename", nullptr};
  PyObject* filename = nullptr;
  if (!PyArg_ParseTupleAndKeywords(arguments, keywords, "U:Events", const_cast<char**>(names), &filename)) {
    return nullptr;
  }
  PyObject* self = type->tp_alloc(type, 0);
  if (!self) return nullptr;
  const bool opened = Translated(
      [&] {
        reinterpret_cast<EventsObject*>(self)->reading = new Reading(ToText(filename));
        return true;
      },
      false, filename);
  if (!opened) {
    Py_DECREF(self);
    return nullptr;
  }
  return self;
}

void Dealloc(PyObject* self) {
  Close(self);
  PyTypeObject* type = Py_TYPE(self);
  type->tp_free(self);
  Py_DECREF(type);
}

PyObject* IterNext(PyObject* self) {
  Reading* reading = ReadingOf(self);
  if (!reading) return nullptr;
  PyObject* event = Translated([&] { return reading->Next(); }, static_cast<PyObject*>(nullptr));
  if (!event && !PyErr_Occurred()) Close(self);
  return event;
}

PyObject* CloseMethod(PyObject* self, PyObject*) {
  Close(self);
  Py_RETURN_NONE;
}

PyObject* Enter(PyObject* self, PyObject*) { return Py_NewRef(self); }

PyObject* Exit(PyObject* self, PyObject*) {
  Close(self);
  Py_RETURN_NONE;
}

PyMethodDef methods[] = {
    {"close", CloseMethod, METH_NOARGS, "Ends the iteration and frees the file slot; nothing once it has ended."},
    {"__enter__", Enter, METH_NOARGS, nullptr},
    {"__exit__", Exit, METH_VARARGS, "Closes, as close() does."},
    {nullptr, nullptr, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(New)},
    {Py_tp_dealloc, reinterpret_cast<void*>(Dealloc)},
    {Py_tp_iter, reinterpret_cast<void*>(PyObject_SelfIter)},
    {Py_tp_iternext, reinterpret_cast<void*>(IterNext)},
    {Py_tp_methods, methods},
    {Py_tp_doc, const_cast<char*>(
                    "Events(filename): the events of a memo file, read a batch at a time. Holds the library's file "
                    "slot until the last event has been taken, close() is called, a with block ends or it is "
                    "collected.")},
    {0, nullptr},
};

PyType_Spec eventsTypeDescription = {"ostrel.Events", sizeof(EventsObject), 0, Py_TPFLAGS_DEFAULT, slots};

}  // namespace

void AddEventsType(py::module_& module) {
  const auto type = py::reinterpret_steal<py::object>(PyType_FromSpec(&eventsTypeDescription));
  if (!type) throw py::error_already_set();
  module.add_object("Events", type);
}

}  // namespace ostrel::python
