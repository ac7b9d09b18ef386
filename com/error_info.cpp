#include <ostrel/com/error_info.h>

#include <new>
#include <optional>

namespace ostrel::com {
namespace {

struct ErrorInfo {
  HRESULT status;
  RuntimeError error;
};

// The error info of the last failed call on this thread.
thread_local std::optional<ErrorInfo> lastError;

constexpr bool IsRuntimeErrorStatus(HRESULT status) {
  return (static_cast<uint32_t>(status) & 0xFFFF0000u) == 0x800A0000u;
}

int32_t NumberForStatus(HRESULT status) {
  if (IsRuntimeErrorStatus(status)) return static_cast<int32_t>(status & 0xFFFF);
  switch (status) {
    case E_POINTER: return errnum::kObjectNotSet;
    case E_OUTOFMEMORY: return errnum::kOutOfMemory;
    case E_NOINTERFACE: return errnum::kNoSuchInterface;
    case CLASS_E_CLASSNOTAVAILABLE:
    case CLASS_E_NOAGGREGATION: return errnum::kCannotCreateObject;
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND: return errnum::kNoSuchMember;
    case DISP_E_BADPARAMCOUNT: return errnum::kWrongArgumentCount;
    case DISP_E_TYPEMISMATCH: return errnum::kTypeMismatch;
    default: return errnum::kInternal;
  }
}

}  // namespace

HRESULT ReportError(const RuntimeError& error) noexcept {
  const HRESULT status = RuntimeErrorStatus(error.number());
  try {
    lastError.emplace(ErrorInfo{status, error});
  } catch (...) {
    lastError.reset();
  }
  return status;
}

HRESULT ReportUnexpected() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return ReportError(RuntimeError(errnum::kOutOfMemory));
  } catch (...) {
    return ReportError(RuntimeError(errnum::kInternal));
  }
}

RuntimeError ErrorFromStatus(HRESULT status) {
  if (lastError && lastError->status == status) {
    RuntimeError error = lastError->error;
    lastError.reset();
    return error;
  }
  return RuntimeError(NumberForStatus(status));
}

std::optional<RuntimeError> TakeErrorInfo() {
  std::optional<RuntimeError> error;
  if (lastError) error = std::move(lastError->error);
  lastError.reset();
  return error;
}

}  // namespace ostrel::com
