#include "tools/script_command.h"

#include <cmath>
#include <limits>

#include "runtime/unicode.h"

namespace tools {
namespace {

using Kind = JsonValue::Kind;

const char kArgumentForms[] =
    "expected a text, null, {\"i2\": N}, {\"i4\": N}, {\"bool\": B}, {\"obj\": VAR} or {\"new\": PROGID}";

const std::u16string& StringAt(const JsonValue& line, size_t index, const char* what) {
  const JsonValue& item = line.array[index];
  if (item.kind != Kind::kString) throw ScriptError(std::string(what) + " must be a string");
  return item.string;
}

// Checks the number of items after the command's name.
void RequireCount(const JsonValue& line, size_t count, const char* usage) {
  if (line.array.size() != count + 1) throw ScriptError(usage);
}

template <class Integer>
Integer IntegerOf(const JsonValue& value, const char* form) {
  constexpr double low = std::numeric_limits<Integer>::min();
  constexpr double high = std::numeric_limits<Integer>::max();
  if (value.kind != Kind::kNumber || std::trunc(value.number) != value.number || value.number < low ||
      value.number > high) {
    throw ScriptError(std::string(form) + " needs a whole number from " + std::to_string(static_cast<long>(low)) +
                      " to " + std::to_string(static_cast<long>(high)));
  }
  return static_cast<Integer>(value.number);
}

const std::u16string& StringOf(const JsonValue& value, const char* form) {
  if (value.kind != Kind::kString) throw ScriptError(std::string(form) + " needs a string");
  return value.string;
}

Argument TypedArgument(const JsonMember& member) {
  const std::string kind = ostrel::com::ToUtf8(member.name);
  if (kind == "i2") return argument::Int16{IntegerOf<int16_t>(member.value, "{\"i2\": N}")};
  if (kind == "i4") return argument::Int32{IntegerOf<int32_t>(member.value, "{\"i4\": N}")};
  if (kind == "bool") {
    if (member.value.kind != Kind::kBoolean) throw ScriptError("{\"bool\": B} needs true or false");
    return argument::Boolean{member.value.boolean};
  }
  if (kind == "obj") return argument::Variable{StringOf(member.value, "{\"obj\": VAR}")};
  if (kind == "new") return argument::NewObject{StringOf(member.value, "{\"new\": PROGID}")};
  throw ScriptError("unknown argument kind \"" + kind + "\": " + kArgumentForms);
}

Argument ArgumentOf(const JsonValue& value) {
  switch (value.kind) {
    case Kind::kString: return argument::Text{value.string};
    case Kind::kNull: return argument::Nothing{};
    case Kind::kObject:
      if (value.object.size() == 1) return TypedArgument(value.object.front());
      break;
    default: break;
  }
  throw ScriptError(kArgumentForms);
}

std::vector<Argument> ArgumentsFrom(const JsonValue& line, size_t first) {
  std::vector<Argument> arguments;
  for (size_t i = first; i < line.array.size(); ++i) {
    try {
      arguments.push_back(ArgumentOf(line.array[i]));
    } catch (const ScriptError& error) {
      throw ScriptError("argument " + std::to_string(i - first + 1) + ": " + error.what());
    }
  }
  return arguments;
}

Command CallFrom(const JsonValue& line) {
  if (line.array.size() < 3) throw ScriptError("\"call\" takes a variable, an operation name and its arguments");
  return CallCommand{StringAt(line, 1, "the variable"), StringAt(line, 2, "the operation name"),
                     ArgumentsFrom(line, 3)};
}

}  // namespace

Command ParseCommand(const JsonValue& line) {
  if (line.kind != Kind::kArray || line.array.empty() || line.array.front().kind != Kind::kString) {
    throw ScriptError("a line must be a JSON array that starts with \"new\", \"release\" or \"call\"");
  }
  const std::string name = ostrel::com::ToUtf8(line.array.front().string);
  if (name == "new") {
    RequireCount(line, 2, "\"new\" takes a variable and a ProgID");
    return NewCommand{StringAt(line, 1, "the variable"), StringAt(line, 2, "the ProgID")};
  }
  if (name == "release") {
    RequireCount(line, 1, "\"release\" takes a variable");
    return ReleaseCommand{StringAt(line, 1, "the variable")};
  }
  if (name == "call") return CallFrom(line);
  throw ScriptError("unknown command \"" + name + "\": expected \"new\", \"release\" or \"call\"");
}

}  // namespace tools
