#include "tools/json.h"

#include <cstdio>

#include "platform/unicode.h"

namespace tools {

namespace {

// The escape for C, or empty when C stands for itself.
std::string EscapeOf(char16_t c) {
  switch (c) {
    case u'"': return "\\\"";
    case u'\\': return "\\\\";
    case u'\r': return "\\r";
    case u'\n': return "\\n";
    default: break;
  }
  if (c >= 0x20) return {};
  char escape[7];
  std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
  return escape;
}

}  // namespace

// Runs between escapes are converted whole; escaped characters are ASCII, so
// no cut falls inside a surrogate pair.
std::string JsonString(std::u16string_view text) {
  std::string json = "\"";
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::string escape = EscapeOf(text[i]);
    if (escape.empty()) continue;
    json += ostrel::com::ToUtf8(text.substr(plain, i - plain));
    json += escape;
    plain = i + 1;
  }
  json += ostrel::com::ToUtf8(text.substr(plain));
  json += '"';
  return json;
}

}  // namespace tools
