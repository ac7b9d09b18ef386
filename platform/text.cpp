#include "platform/text.h"

#include <cstdlib>
#include <cstring>
#include <new>

// A BSTR points just past a 32-bit length (in bytes, as the platform's
// original layout has it) and is followed by a terminating zero unit.

BSTR SysAllocString(std::u16string_view text) {
  const size_t units = text.size();
  auto* block = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) + (units + 1) * sizeof(char16_t)));
  if (!block) throw std::bad_alloc();
  *block = static_cast<uint32_t>(units * sizeof(char16_t));
  auto* chars = reinterpret_cast<char16_t*>(block + 1);
  if (units) std::memcpy(chars, text.data(), units * sizeof(char16_t));
  chars[units] = u'\0';
  return chars;
}

void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<uint32_t*>(text) - 1);
}

uint32_t SysStringLen(BSTR text) {
  return text ? reinterpret_cast<const uint32_t*>(text)[-1] / sizeof(char16_t) : 0;
}

namespace platform {

Bstr& Bstr::operator=(Bstr&& other) noexcept {
  if (this != &other) {
    SysFreeString(value_);
    value_ = other.value_;
    other.value_ = nullptr;
  }
  return *this;
}

void Bstr::Assign(std::u16string_view text) {
  BSTR fresh = SysAllocString(text);
  SysFreeString(value_);
  value_ = fresh;
}

BSTR* Bstr::Receive() {
  SysFreeString(value_);
  value_ = nullptr;
  return &value_;
}

}  // namespace platform
