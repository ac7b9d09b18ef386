// Text at the component boundary: a length-prefixed UTF-16 string that the
// runtime allocates and frees. A null BSTR is the empty text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using BSTR = char16_t*;

BSTR SysAllocString(std::u16string_view text);
// Gives *TARGET (null or a BSTR) the text TEXT, which may be part of it. The
// block *TARGET points to is reused when TEXT fits in it.
void SysReAllocString(BSTR* target, std::u16string_view text);
void SysFreeString(BSTR text);
// A BSTR points just past a 32-bit length (in bytes, as the platform's
// original layout has it) and is followed by a terminating zero unit.
inline uint32_t SysStringLen(BSTR text) {
  return text ? reinterpret_cast<const uint32_t*>(text)[-1] / sizeof(char16_t) : 0;
}

namespace ostrel::com {

inline std::u16string_view View(BSTR text) { return {text ? text : u"", SysStringLen(text)}; }

// Owns one BSTR; the address of the held value can be passed as a
// by-reference argument.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text) : value_(SysAllocString(text)) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : value_(other.value_) { other.value_ = nullptr; }
  Bstr& operator=(Bstr&& other) noexcept;
  ~Bstr() { SysFreeString(value_); }

  void Assign(std::u16string_view text) { SysReAllocString(&value_, text); }
  BSTR* Address() { return &value_; }  // for by-reference arguments
  BSTR* Receive();                     // frees the held text first
  BSTR get() const { return value_; }
  std::u16string_view view() const { return View(value_); }
  std::u16string str() const { return std::u16string(view()); }

 private:
  BSTR value_ = nullptr;
};

}  // namespace ostrel::com
