// The reference that reading CP932 is checked against, in the tests and the
// fuzz targets: the system's converter over a whole text.
#pragma once

#include <iconv.h>

#include <cstring>
#include <string>
#include <string_view>

namespace ostrel_reference {

// BYTES as the converter decodes them; a byte it refuses becomes U+FFFD and
// it goes on with the next one.
inline std::u16string ConverterDecoding(std::string_view bytes) {
  const iconv_t descriptor = iconv_open("UTF-16LE", "CP932");
  std::u16string out(bytes.size(), u'\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* written = reinterpret_cast<char*>(out.data());
  size_t outLeft = out.size() * sizeof(char16_t);
  while (iconv(descriptor, &in, &inLeft, &written, &outLeft) == static_cast<size_t>(-1)) {
    const char16_t replacement = 0xFFFD;
    std::memcpy(written, &replacement, sizeof replacement);
    written += sizeof replacement;
    outLeft -= sizeof replacement;
    ++in;
    --inLeft;
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(descriptor);
  out.resize(out.size() - outLeft / sizeof(char16_t));
  return out;
}

}  // namespace ostrel_reference
