// The commands of an ostrel-call script, one JSON array a line:
//
//   ["new", VAR, PROGID]         create an object and hold it in VAR
//   ["release", VAR]             drop VAR's reference
//   ["call", VAR, NAME, ARG...]  call operation NAME of VAR's object by name
//
// An argument is a text ("..."), {"i2": N}, {"i4": N}, {"bool": B}, Nothing
// (null), the object a variable holds ({"obj": VAR}) or a fresh object for
// this one call ({"new": PROGID}).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "tools/json_parse.h"

namespace tools {

// A line that the tool cannot understand; the text names what is wrong.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

namespace argument {
struct Text {
  std::u16string value;
};
struct Int16 {
  int16_t value;
};
struct Int32 {
  int32_t value;
};
struct Boolean {
  bool value;
};
struct Nothing {};
struct Variable {
  std::u16string name;
};
struct NewObject {
  std::u16string progId;
};
}  // namespace argument

using Argument = std::variant<argument::Text, argument::Int16, argument::Int32, argument::Boolean,
                              argument::Nothing, argument::Variable, argument::NewObject>;

struct NewCommand {
  std::u16string variable;
  std::u16string progId;
};
struct ReleaseCommand {
  std::u16string variable;
};
struct CallCommand {
  std::u16string variable;
  std::u16string operation;
  std::vector<Argument> arguments;
};

using Command = std::variant<NewCommand, ReleaseCommand, CallCommand>;

// Raises ScriptError for a LINE that is no command.
Command ParseCommand(const JsonValue& line);

}  // namespace tools
