#include "memoapp/cp932.h"

#include <iconv.h>

#include <bit>
#include <cerrno>

namespace memoapp {

namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// All of BYTES converted, or null at the first sequence that has no form in
// the target encoding or is invalid in the source.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view bytes) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string converted;
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char buffer[4096];
  bool complete = true;
  while (inLeft > 0) {
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    const bool failed = iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1);
    converted.append(buffer, out);
    if (failed && errno != E2BIG) {
      complete = false;
      break;
    }
  }
  iconv_close(converter);
  if (!complete) return std::nullopt;
  return converted;
}

}  // namespace

std::optional<std::string> EncodeCp932(std::u16string_view text) {
  return Convert(kCp932, kUtf16, {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)});
}

std::optional<std::u16string> DecodeCp932(std::string_view bytes) {
  const std::optional<std::string> units = Convert(kUtf16, kCp932, bytes);
  if (!units) return std::nullopt;
  std::u16string text(units->size() / sizeof(char16_t), u'\0');
  units->copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(char16_t));
  return text;
}

bool SurvivesCp932(std::u16string_view text) {
  const std::optional<std::string> bytes = EncodeCp932(text);
  if (!bytes) return false;
  const std::optional<std::u16string> back = DecodeCp932(*bytes);
  return back && *back == text;
}

}  // namespace memoapp
