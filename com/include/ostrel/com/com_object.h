// ComObject: reference counting and QueryInterface for a class that
// implements one or more interfaces; ClassFactory: its class factory.
//
// An object is freed at its last Release. Each server (a library or program)
// counts its own live objects, so that DllCanUnloadNow can tell when the
// library may go.
#pragma once

#include <atomic>
#include <cstdint>
#include <new>
#include <type_traits>

#include "com.h"

namespace ostrel::com {

class ServerLifetime {
 public:
  void Lock() { count_.fetch_add(1, std::memory_order_relaxed); }
  void Unlock() { count_.fetch_sub(1, std::memory_order_relaxed); }
  bool CanUnload() const { return count_.load(std::memory_order_relaxed) == 0; }

 private:
  std::atomic<long> count_{0};
};

// The lifetime of the server this code is built into. Servers are built with
// hidden visibility, so each library keeps its own instance of this static.
inline ServerLifetime& LocalServer() {
  static ServerLifetime server;
  return server;
}

// The first of Interfaces answers for IUnknown and IDispatch.
template <class First, class... Rest>
class ComObject : public First, public Rest... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (AnyNull(object)) return E_POINTER;
    *object = FindInterface(iid);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override {
    const uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() { LocalServer().Lock(); }
  virtual ~ComObject() { LocalServer().Unlock(); }

 private:
  void* FindInterface(const IID& iid) {
    if (iid == IUnknown::iid) return static_cast<First*>(this);
    if constexpr (std::is_base_of_v<IDispatch, First>) {
      if (iid == IDispatch::iid) return static_cast<First*>(this);
    }
    if (iid == First::iid) return static_cast<First*>(this);
    void* found = nullptr;
    ((found = found ? found : (iid == Rest::iid ? static_cast<Rest*>(this) : nullptr)), ...);
    return found;
  }

  uint32_t references_ = 1;
};

// Creates the object with one reference and asks it for IID.
template <class T>
HRESULT CreateComObject(const IID& iid, void** object) {
  if (AnyNull(object)) return E_POINTER;
  *object = nullptr;
  T* created = new (std::nothrow) T();
  if (!created) return E_OUTOFMEMORY;
  const HRESULT status = created->QueryInterface(iid, object);
  created->Release();
  return status;
}

template <class T>
class ClassFactory final : public ComObject<IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (AnyNull(object)) return E_POINTER;
    if (outer) return CLASS_E_NOAGGREGATION;
    return CreateComObject<T>(iid, object);
  }
  HRESULT LockServer(VARIANT_BOOL lock) override {
    if (lock) LocalServer().Lock(); else LocalServer().Unlock();
    return S_OK;
  }
};

}  // namespace ostrel::com
