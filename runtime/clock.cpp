#include "runtime/clock.h"

#include <locale.h>
#include <wchar.h>

#include <ctime>
#include <iterator>
#include <string_view>

#include "runtime/utf16.h"

namespace ostrel::com {
namespace {

// The environment's LC_TIME in a locale object of its own: the process's
// global locale belongs to the host program and stays as it is. An
// environment that names a locale which is not installed gets the C formats.
locale_t TimeLocale() {
  const locale_t environment = newlocale(LC_TIME_MASK, "", nullptr);
  return environment ? environment : newlocale(LC_TIME_MASK, "C", nullptr);
}

}  // namespace

std::u16string NowAsText() {
  const std::time_t now = std::time(nullptr);
  std::tm local;
  localtime_r(&now, &local);
  // The wide form of the formats needs no guess at the charset of the locale's
  // narrow strings, which is that of LC_TIME and not CODESET (LC_CTYPE).
  const locale_t formats = TimeLocale();
  wchar_t buffer[128];
  const size_t length = wcsftime_l(buffer, std::size(buffer), L"%x %X", &local, formats);
  freelocale(formats);
  std::u16string text;
  for (const wchar_t unit : std::wstring_view(buffer, length)) utf16::Append(static_cast<char32_t>(unit), text);
  return text;
}

}  // namespace ostrel::com
