// Reading JSON text (RFC 8259) into values, for the script lines of
// ostrel-call, through the nlohmann JSON library.
//
// Strings come out as UTF-16, the text type of the component boundary: a
// \uXXXX escape gives exactly the unit it names, so an escaped surrogate pair
// becomes one character and a lone surrogate stays as it is for the callee to
// judge. Numbers are doubles; members of an object keep their written order.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct JsonMember;

struct JsonValue {
  enum class Kind { kNull, kBoolean, kNumber, kString, kArray, kObject };

  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::u16string string;
  std::vector<JsonValue> array;
  std::vector<JsonMember> object;
};

struct JsonMember {
  std::u16string name;
  JsonValue value;
};

// What is wrong and where, e.g. "bad JSON at column 7: unexpected string
// literal; expected ']'".
// Columns count bytes from 1.
class JsonSyntaxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// TEXT must hold one value, with nothing but white space around it. Raises
// JsonSyntaxError otherwise, also for nesting deeper than kMaxJsonDepth.
JsonValue ParseJson(std::string_view text);

constexpr int kMaxJsonDepth = 64;

}  // namespace tools
