// Run-time errors across the component boundary.
//
// Inside a component, Guard() runs an operation's body and turns a
// RuntimeError into a failed status, leaving the number and description in
// this thread's error info. On the calling side, Check() turns a failed
// status back into the RuntimeError.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "com.h"
#include "export.h"
#include "runtime_error.h"

namespace ostrel::com {

// Records ERROR as this thread's error info and returns its failed status.
OSTREL_COM_API HRESULT ReportError(const RuntimeError& error) noexcept;
// For exceptions that are not run-time errors (out of memory, a fault of ours).
OSTREL_COM_API HRESULT ReportUnexpected() noexcept;

template <class Body>
HRESULT Guard(Body&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (const RuntimeError& error) {
    return ReportError(error);
  } catch (...) {
    return ReportUnexpected();
  }
}

// The error a failed STATUS stands for, from this thread's error info when it
// belongs to that status, otherwise from the status alone.
OSTREL_COM_API RuntimeError ErrorFromStatus(HRESULT status);

// The error info this thread holds, taken, whatever status it belongs to:
// what a component left with ReportError to say why an operation answered
// False rather than failing. A caller takes it once before the call, to
// drop anything older, and once after.
OSTREL_COM_API std::optional<RuntimeError> TakeErrorInfo();

inline void Check(HRESULT status) {
  if (Failed(status)) throw ErrorFromStatus(status);
}

}  // namespace ostrel::com
