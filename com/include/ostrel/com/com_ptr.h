// ComPtr<T>: holds one reference to a component object and releases it.
#pragma once

#include <utility>

#include "com.h"

namespace ostrel::com {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) { AddRefHeld(); }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over a reference the caller already owns.
  static ComPtr Attach(T* ptr) {
    ComPtr held;
    held.ptr_ = ptr;
    return held;
  }
  // Adds a reference of its own.
  static ComPtr Share(T* ptr) {
    ComPtr held = Attach(ptr);
    held.AddRefHeld();
    return held;
  }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  T* Detach() { return std::exchange(ptr_, nullptr); }

  void Reset() {
    if (T* old = std::exchange(ptr_, nullptr)) old->Release();
  }
  // For an out argument: releases the held reference first.
  T** Receive() {
    Reset();
    return &ptr_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
  // For a by-reference argument that the callee may read or replace.
  T** Address() { return &ptr_; }

  // Asks for interface U; null when the object does not offer it.
  template <class U>
  ComPtr<U> As() const {
    ComPtr<U> other;
    if (ptr_) ptr_->QueryInterface(U::iid, other.ReceiveVoid());
    return other;
  }

 private:
  void AddRefHeld() {
    if (ptr_) ptr_->AddRef();
  }
  T* ptr_ = nullptr;
};

}  // namespace ostrel::com
