#include <ostrel/com/text.h>

#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>

namespace {

using ostrel::com::LengthPrefixOf;

size_t BlockSize(size_t units) { return sizeof(uint32_t) + (units + 1) * sizeof(char16_t); }

}  // namespace

BSTR SysAllocString(std::u16string_view text) {
  const size_t units = text.size();
  auto* block = static_cast<uint32_t*>(std::malloc(BlockSize(units)));
  if (!block) throw std::bad_alloc();
  *block = static_cast<uint32_t>(units * sizeof(char16_t));
  auto* chars = reinterpret_cast<char16_t*>(block + 1);
  if (units) std::memcpy(chars, text.data(), units * sizeof(char16_t));
  chars[units] = u'\0';
  return chars;
}

// Reading a file hands one text after another to a handler through the same
// variable; reusing its block saves an allocation and a release per text.
// A text no longer than the one held fits; for a longer one the block's real
// size is asked of the allocator, because a handler may have replaced the
// text with one of its own.
void SysReAllocString(BSTR* target, std::u16string_view text) {
  BSTR held = *target;
  if (held && (text.size() <= SysStringLen(held) || BlockSize(text.size()) <= malloc_usable_size(LengthPrefixOf(held)))) {
    ostrel::com::OverwriteString(held, text);
    return;
  }
  BSTR fresh = SysAllocString(text);
  SysFreeString(held);
  *target = fresh;
}

void SysFreeString(BSTR text) {
  if (text) std::free(LengthPrefixOf(text));
}

namespace ostrel::com {

Bstr& Bstr::operator=(Bstr&& other) noexcept {
  if (this != &other) {
    SysFreeString(value_);
    value_ = other.value_;
    other.value_ = nullptr;
  }
  return *this;
}

BSTR* Bstr::Receive() {
  SysFreeString(value_);
  value_ = nullptr;
  return &value_;
}

}  // namespace ostrel::com
