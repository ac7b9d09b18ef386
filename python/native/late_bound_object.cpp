#include "native/late_bound_object.h"

#include <utility>

#include <ostrel/com/com_runtime.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/owned_variant.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include "native/errors.h"
#include "native/python_handler.h"
#include "native/python_text.h"
#include "native/values.h"
#include <ostrel/com/attribute_pairs.h>

namespace ostrel::python {
namespace {

using ostrel::com::ComPtr;

VARIANT TextIndex(ostrel::com::Bstr& key) {
  VARIANT index;
  index.vt = VT_BYREF | VT_BSTR;
  index.pbstrVal = key.Address();
  return index;
}

}  // namespace

LateBoundObject::LateBoundObject(ComPtr<IDispatch> object, std::string label)
    : object_(std::move(object)), label_(std::move(label)) {}

LateBoundObject LateBoundObject::Create(const std::u16string& progIdOrClsid) {
  const std::string name = Utf8FromText(progIdOrClsid);
  CLSID clsid;
  if (GuidFromString(name, &clsid)) return {ostrel::com::CreateObject<IDispatch>(clsid), name};
  return {ostrel::com::CreateObject(progIdOrClsid), name};
}

IDispatch* LateBoundObject::Require() const {
  if (!withdrawn_.empty()) throw py::value_error(withdrawn_);
  return object_.get();
}

void LateBoundObject::Withdraw(std::string why) {
  withdrawn_ = std::move(why);
  object_.Reset();
}

py::object LateBoundObject::Operation(const py::object& self, const std::string& name) const {
  // Python asks objects for special names of its own; no operation has one.
  if (name.starts_with("__")) throw py::attribute_error(name);
  IDispatch* object = Require();
  const std::u16string member = TextFromUtf8(name);
  const char16_t* names[] = {member.c_str()};
  int32_t id = DISPID_UNKNOWN;
  const HRESULT status = object->GetIDsOfNames(names, 1, &id);
  if (status == DISP_E_UNKNOWNNAME) {
    throw py::attribute_error(label_ + " has no operation named " + name);
  }
  ostrel::com::Check(status);
  const auto& types = Types();
  for (const OperationType& type : *types) {
    if (type.id == id) return py::cast(BoundOperation(self, id, name, std::shared_ptr<const OperationType>(types, &type)));
  }
  return py::cast(BoundOperation(self, id, name, nullptr));
}

std::vector<std::string> LateBoundObject::OperationNames() const {
  std::vector<std::string> names;
  for (const OperationType& type : *Types()) names.push_back(type.name);
  return names;
}

const std::shared_ptr<const OperationTypes>& LateBoundObject::Types() const {
  if (!types_) types_ = TypesOf(Require());
  return types_;
}

std::string LateBoundObject::Repr() const {
  return "<ostrel object " + label_ + (withdrawn_.empty() ? "" : " (withdrawn)") + ">";
}

CollectionView::CollectionView(ComPtr<Collection> list)
    : LateBoundObject(list.As<IDispatch>(), "Collection"), list_(std::move(list)) {}

void CollectionView::Withdraw(std::string why) {
  list_.Reset();
  LateBoundObject::Withdraw(std::move(why));
}

Collection& CollectionView::List() const {
  Require();
  return *list_.get();
}

int32_t CollectionView::Count() const {
  int32_t count = 0;
  ostrel::com::Check(List().Count(&count));
  return count;
}

bool CollectionView::Contains(py::handle key) const {
  ostrel::com::Bstr text(ToText(key));
  VARIANT index = TextIndex(text);
  ostrel::com::Bstr value;
  const HRESULT status = List().Item(&index, value.Receive());
  if (status == RuntimeErrorStatus(ostrel::com::errnum::kInvalidArgument)) {
    ostrel::com::ErrorFromStatus(status);  // the absent key is an answer, not an error
    return false;
  }
  ostrel::com::Check(status);
  return true;
}

py::str CollectionView::Item(py::handle index) const {
  ostrel::com::Bstr key;
  VARIANT variant;
  HRESULT absent;
  if (PyUnicode_Check(index.ptr())) {
    key.Assign(ToText(index));
    variant = TextIndex(key);
    absent = RuntimeErrorStatus(ostrel::com::errnum::kInvalidArgument);
  } else if (PyLong_Check(index.ptr()) && !PyBool_Check(index.ptr())) {
    int overflow = 0;
    const long long position = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    variant.vt = VT_I4;
    variant.lVal = overflow || position < INT32_MIN || position > INT32_MAX ? 0 : static_cast<int32_t>(position);
    absent = RuntimeErrorStatus(ostrel::com::errnum::kSubscriptOutOfRange);
  } else {
    throw py::type_error("a Collection is indexed by a key (str) or a 1-based position (int)");
  }
  ostrel::com::Bstr value;
  const HRESULT status = List().Item(&variant, value.Receive());
  if (status == absent) {
    ostrel::com::ErrorFromStatus(status);  // answered below as Python answers a missing entry
    if (variant.vt == VT_I4) {
      throw py::index_error("position " + std::string(py::str(index)) + " is not in 1.." + std::to_string(Count()));
    }
    throw py::key_error(py::str(index));
  }
  ostrel::com::Check(status);
  return FromText(value.view());
}

py::list CollectionView::Items() const {
  py::list items;
  for (const auto& [key, value] : ostrel::com::PairsOf(List())) items.append(py::make_tuple(FromText(key), FromText(value)));
  return items;
}

BoundOperation::BoundOperation(py::object owner, int32_t id, std::string name, std::shared_ptr<const OperationType> type)
    : owner_(std::move(owner)), id_(id), name_(std::move(name)), type_(std::move(type)) {}

py::object BoundOperation::Call(const py::args& arguments, const py::kwargs& keywords) const {
  // Held for the call: a callback may drop every Python reference to it.
  const auto object = ComPtr<IDispatch>::Share(owner_.cast<const LateBoundObject&>().Require());
  if (!type_ && !keywords.empty()) {
    throw py::type_error(name_ + "() takes its arguments by position only: the object offers no type information");
  }
  CallArguments values(type_ ? BindArguments(*type_, arguments, keywords) : py::tuple(arguments));
  DISPPARAMS params{values.references(), values.count()};
  ostrel::com::OwnedVariant result;
  CallbackScope scope;
  const HRESULT status = object->Invoke(id_, &params, &result.value);
  values.UpdateRefs();
  scope.Finish(status);
  return FromVariant(result.value);
}

py::object BoundOperation::Signature() const { return type_ ? ostrel::python::Signature(*type_) : py::none(); }

std::string BoundOperation::Doc() const {
  const std::string owner = owner_.cast<const LateBoundObject&>().Repr();
  if (!type_) return "An operation of " + owner + ", which offers no type information: arguments go by position.";
  return Docstring(*type_, owner);
}

std::string BoundOperation::Repr() const {
  return "<operation " + Name() + " of " + owner_.cast<const LateBoundObject&>().Repr() + ">";
}

}  // namespace ostrel::python
