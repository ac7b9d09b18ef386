#include "tools/json_parse.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/unicode.h"
#include "runtime/utf16.h"

namespace tools {
namespace {

using ostrel::com::utf16::IsHighSurrogate;
using ostrel::com::utf16::IsLowSurrogate;
using ostrel::com::utf16::IsSurrogate;

// The JSON library holds strings in UTF-8 and so refuses an escaped lone
// surrogate, which a script needs, for instance to name a file whose name is
// not UTF-8. Before parsing, each such escape becomes "\uFFFF", as long as the
// escape it replaces; afterwards each U+FFFF of a string, written or put
// there, takes back the unit recorded for it, in the order of the text.
constexpr char16_t kStandIn = 0xFFFF;
constexpr std::string_view kStandInEscape = "\\uFFFF";
constexpr std::string_view kStandInUtf8 = "\xEF\xBF\xBF";

// What parsing needs to know beforehand about a text.
struct Prepared {
  std::string text;                  // lone surrogates replaced
  std::u16string standIns;           // the unit behind each U+FFFF, in order
  std::optional<size_t> tooDeepAt;   // column of the first bracket past the limit
};

std::optional<char16_t> EscapedUnit(std::string_view text, size_t at) {
  if (text.size() - at < 6 || text[at] != '\\' || text[at + 1] != 'u') return std::nullopt;
  char16_t unit = 0;
  for (size_t i = at + 2; i < at + 6; ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return std::nullopt;
    unit = static_cast<char16_t>(unit << 4 | digit);
  }
  return unit;
}

// Inside a string, at AT: handles one escape or character and returns how
// many bytes it took.
size_t PrepareInString(Prepared& prepared, size_t at) {
  std::string& text = prepared.text;
  const std::optional<char16_t> unit = EscapedUnit(text, at);
  if (!unit) {
    if (text.compare(at, kStandInUtf8.size(), kStandInUtf8) == 0) {
      prepared.standIns += kStandIn;
      return kStandInUtf8.size();
    }
    return text[at] == '\\' ? 2 : 1;
  }
  if (IsHighSurrogate(*unit)) {
    const std::optional<char16_t> next = EscapedUnit(text, at + 6);
    if (next && IsLowSurrogate(*next)) return 12;
  }
  if (IsSurrogate(*unit)) text.replace(at, kStandInEscape.size(), kStandInEscape);
  if (IsSurrogate(*unit) || *unit == kStandIn) prepared.standIns += *unit;
  return 6;
}

Prepared Prepare(std::string_view json) {
  Prepared prepared{std::string(json), {}, std::nullopt};
  const std::string& text = prepared.text;
  bool inString = false;
  int depth = 0;
  for (size_t at = 0; at < text.size();) {
    const char c = text[at];
    if (inString) {
      if (c == '"') inString = false;
      at += c == '"' ? 1 : PrepareInString(prepared, at);
      continue;
    }
    if (c == '"') inString = true;
    if (c == '[' || c == '{') {
      if (++depth > kMaxJsonDepth && !prepared.tooDeepAt) prepared.tooDeepAt = at + 1;
    }
    if (c == ']' || c == '}') --depth;
    ++at;
  }
  return prepared;
}

// "[json.exception.parse_error.101] parse error at line 1, column 6: syntax
// error while parsing array - WHAT" gives WHAT: the line is always 1, and the
// column is said once, by the caller.
std::string WhatOf(const nlohmann::json::exception& error) {
  std::string_view message = error.what();
  for (const std::string_view lead : {std::string_view("column "), std::string_view("syntax error while parsing ")}) {
    const size_t at = message.find(lead);
    if (at != std::string_view::npos) message.remove_prefix(at + lead.size());
  }
  const size_t what = message.find(" - ") != std::string_view::npos ? message.find(" - ") + 3 : message.find(": ") + 2;
  return std::string(what < message.size() ? message.substr(what) : message);
}

[[noreturn]] void Fail(size_t column, const std::string& what) {
  throw JsonSyntaxError("bad JSON at column " + std::to_string(column) + ": " + what);
}

// Builds the value from the parser's events, keeping the members of an
// object in their written order, repeated names included.
class Builder : public nlohmann::json_sax<nlohmann::json> {
 public:
  explicit Builder(const Prepared& prepared) : prepared_(prepared) {}

  JsonValue Take() { return std::move(root_); }

  bool null() override { return Put(JsonValue{}); }
  bool boolean(bool flag) override {
    JsonValue value = Of(JsonValue::Kind::kBoolean);
    value.boolean = flag;
    return Put(std::move(value));
  }
  bool number_integer(number_integer_t number) override { return Number(static_cast<double>(number)); }
  bool number_unsigned(number_unsigned_t number) override { return Number(static_cast<double>(number)); }
  bool number_float(number_float_t number, const string_t&) override { return Number(number); }
  bool string(string_t& text) override {
    JsonValue value = Of(JsonValue::Kind::kString);
    value.string = Decoded(text);
    return Put(std::move(value));
  }
  bool binary(binary_t&) override { return false; }  // JSON text holds none
  bool start_object(std::size_t) override { return Open(JsonValue::Kind::kObject); }
  bool key(string_t& name) override {
    key_ = Decoded(name);
    return true;
  }
  bool end_object() override { return Close(); }
  bool start_array(std::size_t) override { return Open(JsonValue::Kind::kArray); }
  bool end_array() override { return Close(); }

  // An unexpected token is named from where it starts; the end of the line,
  // or a malformed token, from the byte where reading went wrong, which is
  // where POSITION stands.
  bool parse_error(std::size_t position, const std::string& lastToken,
                   const nlohmann::detail::exception& error) override {
    const std::string what = WhatOf(error);
    const bool atToken = what.starts_with("unexpected ") && !what.starts_with("unexpected end of input");
    Fail(atToken && position >= lastToken.size() ? position - lastToken.size() + 1 : position, what);
  }

 private:
  static JsonValue Of(JsonValue::Kind kind) {
    JsonValue value;
    value.kind = kind;
    return value;
  }

  std::u16string Decoded(const std::string& utf8) {
    std::u16string text = ostrel::com::FromUtf8(utf8);
    for (char16_t& unit : text) {
      if (unit == kStandIn) unit = prepared_.standIns[nextStandIn_++];
    }
    return text;
  }

  bool Number(double number) {
    JsonValue value = Of(JsonValue::Kind::kNumber);
    value.number = number;
    return Put(std::move(value));
  }

  bool Put(JsonValue value) {
    Place(std::move(value));
    return true;
  }

  // Only the innermost open container grows, so the pointers to the open
  // ones stay valid.
  JsonValue* Place(JsonValue value) {
    if (open_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    JsonValue& parent = *open_.back();
    if (parent.kind == JsonValue::Kind::kArray) return &parent.array.emplace_back(std::move(value));
    return &parent.object.emplace_back(JsonMember{std::move(key_), std::move(value)}).value;
  }

  bool Open(JsonValue::Kind kind) {
    if (open_.size() == static_cast<size_t>(kMaxJsonDepth)) {
      Fail(prepared_.tooDeepAt.value_or(1), "nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
    }
    open_.push_back(Place(Of(kind)));
    return true;
  }

  bool Close() {
    open_.pop_back();
    return true;
  }

  const Prepared& prepared_;
  size_t nextStandIn_ = 0;
  JsonValue root_;
  std::vector<JsonValue*> open_;
  std::u16string key_;
};

}  // namespace

JsonValue ParseJson(std::string_view text) {
  const Prepared prepared = Prepare(text);
  Builder builder(prepared);
  nlohmann::json::sax_parse(prepared.text.begin(), prepared.text.end(), &builder);
  return builder.Take();
}

}  // namespace tools
