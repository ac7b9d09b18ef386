// Text at the component boundary: a length-prefixed UTF-16 string that the
// runtime allocates and frees. A null BSTR is the empty text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "export.h"

using BSTR = char16_t*;

OSTREL_COM_API BSTR SysAllocString(std::u16string_view text);
// Gives *TARGET (null or a BSTR) the text TEXT, which may be part of it. The
// block *TARGET points to is reused when TEXT fits in it.
OSTREL_COM_API void SysReAllocString(BSTR* target, std::u16string_view text);
OSTREL_COM_API void SysFreeString(BSTR text);
// A BSTR points just past a 32-bit length (in bytes, as the platform's
// original layout has it) and is followed by a terminating zero unit.
namespace ostrel::com {
inline uint32_t* LengthPrefixOf(BSTR text) { return reinterpret_cast<uint32_t*>(text) - 1; }
}  // namespace ostrel::com

inline uint32_t SysStringLen(BSTR text) { return text ? *ostrel::com::LengthPrefixOf(text) / sizeof(char16_t) : 0; }

namespace ostrel::com {

// Gives the BSTR HELD, not null, the text TEXT, which must be no longer than
// what HELD's block has room for; TEXT may be part of HELD.
inline void OverwriteString(BSTR held, std::u16string_view text) {
  if (!text.empty() && text.data() != held) std::memmove(held, text.data(), text.size() * sizeof(char16_t));
  held[text.size()] = u'\0';
  *LengthPrefixOf(held) = static_cast<uint32_t>(text.size() * sizeof(char16_t));
}

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
  OSTREL_COM_API Bstr& operator=(Bstr&& other) noexcept;
  ~Bstr() { SysFreeString(value_); }

  // A text no longer than the one held goes into the same block without a
  // call: a reader hands one text after another through the same variable.
  void Assign(std::u16string_view text) {
    if (value_ && text.size() <= SysStringLen(value_)) {
      OverwriteString(value_, text);
    } else {
      SysReAllocString(&value_, text);
    }
  }
  BSTR* Address() { return &value_; }  // for by-reference arguments
  OSTREL_COM_API BSTR* Receive();                    // frees the held text first
  BSTR get() const { return value_; }
  std::u16string_view view() const { return View(value_); }
  std::u16string str() const { return std::u16string(view()); }

 private:
  BSTR value_ = nullptr;
};

}  // namespace ostrel::com
