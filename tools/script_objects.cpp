#include "tools/script_objects.h"

#include <algorithm>

#include <ostrel/com/collection.h>
#include <ostrel/com/com_runtime.h>
#include "runtime/unicode.h"
#include "tools/script_command.h"

namespace tools {
namespace {

// Objects are the same when they answer IUnknown with the same pointer.
IUnknown* Identity(IDispatch* object) {
  return object ? ostrel::com::ComPtr<IDispatch>::Share(object).As<IUnknown>().get() : nullptr;
}

}  // namespace

ostrel::com::ComPtr<IDispatch> CreateByProgId(std::u16string_view progId) {
  if (progId == kCollectionProgId) return ostrel::com::NewCollection().As<IDispatch>();
  return ostrel::com::CreateObject(progId);
}

void Variables::Add(std::u16string name, ostrel::com::ComPtr<IDispatch> object) {
  if (Holds(name)) {
    throw ScriptError("variable \"" + ostrel::com::ToUtf8(name) + "\" already holds an object: release it first");
  }
  held_.emplace_back(std::move(name), std::move(object));
}

IDispatch* Variables::Find(std::u16string_view name) const { return held_[Require(name)].second.get(); }

void Variables::Release(std::u16string_view name) {
  // Taken out of the list before its release, so that whatever the object's
  // Class_Terminate does, the variable is already gone.
  const auto position = held_.begin() + static_cast<std::ptrdiff_t>(Require(name));
  const ostrel::com::ComPtr<IDispatch> object = std::move(position->second);
  held_.erase(position);
}

void Variables::ReleaseAll() {
  for (auto& variable : held_) variable.second.Reset();
  held_.clear();
}

const std::u16string* Variables::NameOf(IDispatch* object) const {
  IUnknown* identity = Identity(object);
  if (!identity) return nullptr;
  const auto found = std::find_if(held_.begin(), held_.end(),
                                  [&](const auto& variable) { return Identity(variable.second.get()) == identity; });
  return found == held_.end() ? nullptr : &found->first;
}

bool Variables::Holds(std::u16string_view name) const {
  return std::any_of(held_.begin(), held_.end(), [&](const auto& variable) { return variable.first == name; });
}

size_t Variables::Require(std::u16string_view name) const {
  for (size_t i = 0; i < held_.size(); ++i) {
    if (held_[i].first == name) return i;
  }
  throw ScriptError("no variable \"" + ostrel::com::ToUtf8(name) + "\"");
}

}  // namespace tools
