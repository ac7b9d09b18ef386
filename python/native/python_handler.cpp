#include "native/python_handler.h"

#include <string>
#include <string_view>

#include <ostrel/com/com_ptr.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/text.h>
#include "native/errors.h"
#include "native/late_bound_object.h"
#include "native/python_text.h"
#include <ostrel/handler_members.h>

namespace ostrel::python {
namespace {

constexpr std::string_view kNames[] = {"ErrElement", "StartElement", "EndElement", "contentData"};

constexpr char kParmListWithdrawn[] =
    "parmList can be used only during the StartElement call that received it: the reader empties and "
    "reuses the list afterwards. Copy what you need during the call, e.g. dict(parmList.items())";

// TARGET's attribute NAME, or nothing when it has none. As with Python's own
// hasattr, only AttributeError means "none": any other exception that looking
// it up raises comes out.
py::object AttributeOrNothing(py::handle target, const std::string& name) {
  PyObject* const found = PyObject_GetAttrString(target.ptr(), name.c_str());
  if (found) return py::reinterpret_steal<py::object>(found);
  if (!PyErr_ExceptionMatches(PyExc_AttributeError)) throw py::error_already_set();
  PyErr_Clear();
  return py::object();
}

py::object FindMethod(py::handle target, std::string_view name) {
  if (py::object exact = AttributeOrNothing(target, std::string(name))) return exact;
  const auto names = py::reinterpret_steal<py::list>(PyObject_Dir(target.ptr()));
  if (!names) throw py::error_already_set();
  for (py::handle each : names) {
    if (PyUnicode_Check(each.ptr()) && SameIgnoringCase(each.cast<std::string>(), name)) return target.attr(each);
  }
  return py::none();
}

// Withdraws the list lent to one StartElement call however the call ends.
class LentList {
 public:
  explicit LentList(Collection* list)
      : view_(list ? py::cast(CollectionView(ostrel::com::ComPtr<Collection>::Share(list))) : py::none()) {}
  LentList(const LentList&) = delete;
  LentList& operator=(const LentList&) = delete;
  ~LentList() {
    if (!view_.is_none()) view_.cast<CollectionView&>().Withdraw(kParmListWithdrawn);
  }
  const py::object& view() const { return view_; }

 private:
  py::object view_;
};

}  // namespace

IDispatch* PythonHandler::Wrap(py::handle target) { return static_cast<_IXmlHandler*>(new PythonHandler(target)); }

const ostrel::com::DispatchTable<PythonHandler>& PythonHandler::Members() {
  return ostrel::XmlHandlerMembers<PythonHandler>();
}

PythonHandler::PythonHandler(py::handle target) : target_(py::reinterpret_borrow<py::object>(target)) {
  for (int callback = 0; callback < kCallbacks; ++callback) methods_[callback] = FindMethod(target, kNames[callback]);
}

// A wrapper that outlives the interpreter lets its Python references go
// without touching Python.
PythonHandler::~PythonHandler() {
  if (Py_IsInitialized()) return;
  target_.release();
  for (py::object& method : methods_) method.release();
}

template <class MakeArguments>
HRESULT PythonHandler::Call(Callback callback, MakeArguments&& makeArguments) {
  if (methods_[callback].is_none()) return S_OK;
  try {
    methods_[callback](*makeArguments());
    return S_OK;
  } catch (py::error_already_set& exception) {
    return CallbackScope::Keep(u"ハンドラーの " + TextFromUtf8(kNames[callback]), exception);
  } catch (...) {
    return ostrel::com::ReportUnexpected();
  }
}

HRESULT PythonHandler::ErrElement(int32_t* ln, BSTR* msg, BSTR* content) {
  if (AnyNull(ln, msg, content)) return E_POINTER;
  return Call(kErrElement, [&] {
    return py::make_tuple(*ln, FromText(ostrel::com::View(*msg)), FromText(ostrel::com::View(*content)));
  });
}

HRESULT PythonHandler::StartElement(BSTR* tagname, Collection** parmList) {
  if (AnyNull(tagname, parmList)) return E_POINTER;
  if (methods_[kStartElement].is_none()) return S_OK;
  const LentList lent(*parmList);
  return Call(kStartElement, [&] { return py::make_tuple(FromText(ostrel::com::View(*tagname)), lent.view()); });
}

HRESULT PythonHandler::EndElement(BSTR* tagname) {
  if (AnyNull(tagname)) return E_POINTER;
  return Call(kEndElement, [&] { return py::make_tuple(FromText(ostrel::com::View(*tagname))); });
}

HRESULT PythonHandler::contentData(BSTR* tagname, BSTR* contentData) {
  if (AnyNull(tagname, contentData)) return E_POINTER;
  return Call(kContentData, [&] {
    return py::make_tuple(FromText(ostrel::com::View(*tagname)), FromText(ostrel::com::View(*contentData)));
  });
}

}  // namespace ostrel::python
