#include <ostrel/com/com.h>

#include <cstring>

namespace {

bool HexDigit(char c, uint8_t* value) {
  if (c >= '0' && c <= '9') *value = static_cast<uint8_t>(c - '0');
  else if (c >= 'a' && c <= 'f') *value = static_cast<uint8_t>(c - 'a' + 10);
  else if (c >= 'A' && c <= 'F') *value = static_cast<uint8_t>(c - 'A' + 10);
  else return false;
  return true;
}

}  // namespace

bool GuidFromString(std::string_view text, GUID* guid) {
  // The 32 hex digits in order, with braces and dashes where they belong.
  constexpr std::string_view kShape = "{........-....-....-....-............}";
  if (text.size() != kShape.size()) return false;
  uint8_t bytes[16] = {};
  int digit = 0;
  for (size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] != '.') {
      if (text[i] != kShape[i]) return false;
      continue;
    }
    uint8_t value;
    if (!HexDigit(text[i], &value)) return false;
    bytes[digit / 2] = static_cast<uint8_t>(bytes[digit / 2] << 4 | value);
    ++digit;
  }
  guid->data1 = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
  guid->data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
  guid->data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
  for (int i = 0; i < 8; ++i) guid->data4[i] = bytes[8 + i];
  return true;
}

// Every byte, so that no part of a pointer-wide value outlives a narrower
// one written later.
void VariantInit(VARIANT* value) { std::memset(value, 0, sizeof *value); }

void VariantClear(VARIANT* value) {
  if (value->vt == VT_BSTR) SysFreeString(value->bstrVal);
  if (value->vt == VT_DISPATCH && value->pdispVal) value->pdispVal->Release();
  VariantInit(value);
}

void VariantCopy(VARIANT* target, const VARIANT& source) {
  VariantClear(target);
  *target = source;
  if (source.vt == VT_BSTR) target->bstrVal = SysAllocString({source.bstrVal, SysStringLen(source.bstrVal)});
  if (source.vt == VT_DISPATCH && source.pdispVal) source.pdispVal->AddRef();
}
