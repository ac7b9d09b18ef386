// ostrel.Dispatch: a component object whose operations are its attributes,
// found by name without regard to case (GetIDsOfNames) and called through
// Invoke. ostrel.Collection: one that is a Collection as well, read like a
// mapping. Each holds one reference, released when Python frees it.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

#include <ostrel/com/collection.h>
#include <ostrel/com/com.h>
#include <ostrel/com/com_ptr.h>

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
  std::string Repr() const;

 private:
  ostrel::com::ComPtr<IDispatch> object_;
  std::string label_;
  std::string withdrawn_;  // why, once withdrawn
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

// One operation of an object, called with positional arguments; returns just
// the operation's result (None when it has none).
class BoundOperation {
 public:
  BoundOperation(py::object owner, int32_t id, std::string name);
  py::object Call(const py::args& arguments) const;
  std::string Repr() const;

 private:
  py::object owner_;  // the ostrel.Dispatch, so a withdrawn one fails here too
  int32_t id_;
  std::string name_;
};

}  // namespace ostrel::python
