// ostrel.Dispatch: a component object whose operations are its attributes,
// found by name without regard to case (GetIDsOfNames) and called through
// Invoke; its type information, when it offers some, lists them and gives
// each a signature. ostrel.Collection: one that is a Collection as well, read
// like a mapping. Each holds one reference, released when Python frees it or
// at the end of a with block.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <ostrel/com/collection.h>
#include <ostrel/com/com.h>
#include <ostrel/com/com_ptr.h>
#include "native/operation_types.h"

namespace ostrel::python {

namespace py = pybind11;

class LateBoundObject {
 public:
  LateBoundObject(ostrel::com::ComPtr<IDispatch> object, std::string label);
  virtual ~LateBoundObject() = default;

  // An object of the class registered under PROGID_OR_CLSID: a ProgID, or a
  // class identifier "{...}".
  static LateBoundObject Create(const std::u16string& progIdOrClsid);

  // Raises ValueError once the object has been withdrawn.
  IDispatch* Require() const;
  IDispatch* get() const { return object_.get(); }
  // Withdraws an object lent to Python for the length of one callback: its
  // reference goes, and every later use raises ValueError saying WHY.
  virtual void Withdraw(std::string why);

  // The operation NAME of SELF (this object) as a callable; AttributeError
  // when the object has none of that name.
  py::object Operation(const py::object& self, const std::string& name) const;
  // The names of the operations the type information lists.
  std::vector<std::string> OperationNames() const;
  // The end of a with block: the reference goes now.
  void Release() { Withdraw("the object was released at the end of its with block"); }
  std::string Repr() const;

 private:
  // Asked of the object once, on first use.
  const std::shared_ptr<const OperationTypes>& Types() const;

  ostrel::com::ComPtr<IDispatch> object_;
  std::string label_;
  std::string withdrawn_;  // why, once withdrawn
  mutable std::shared_ptr<const OperationTypes> types_;
};

class CollectionView : public LateBoundObject {
 public:
  explicit CollectionView(ostrel::com::ComPtr<Collection> list);
  static CollectionView New() { return CollectionView(ostrel::com::NewCollection()); }

  void Withdraw(std::string why) override;

  int32_t Count() const;
  // Whether KEY (a str) is present, compared without regard to case.
  bool Contains(py::handle key) const;
  // By key (KeyError when absent) or by 1-based position (IndexError).
  py::str Item(py::handle index) const;
  // (key, value) pairs in list order; "" for an entry filed without a key.
  py::list Items() const;

 private:
  Collection& List() const;

  ostrel::com::ComPtr<Collection> list_;
};

// One operation of an object; returns just the operation's result (None
// when it has none). With type information its arguments may also go by
// name, and a wrong count is a TypeError before the call is made.
class BoundOperation {
 public:
  // TYPE is null when the object offers no type information.
  BoundOperation(py::object owner, int32_t id, std::string name, std::shared_ptr<const OperationType> type);
  py::object Call(const py::args& arguments, const py::kwargs& keywords) const;
  const std::string& Name() const { return type_ ? type_->name : name_; }
  // None without type information.
  py::object Signature() const;
  std::string Doc() const;
  std::string Repr() const;

 private:
  py::object owner_;  // the ostrel.Dispatch, so a withdrawn one fails here too
  int32_t id_;
  std::string name_;  // as the caller spelt it
  std::shared_ptr<const OperationType> type_;
};

}  // namespace ostrel::python
