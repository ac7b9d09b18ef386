#include "tools/command_line.h"

#include <algorithm>
#include <iostream>

namespace tools {
namespace {

const Option* Find(std::span<const Option> options, std::string_view name) {
  const auto found = std::ranges::find(options, name, &Option::name);
  return found == options.end() ? nullptr : &*found;
}

std::string_view UsageParagraph(std::string_view help) { return help.substr(0, help.find("\n\n") + 1); }

}  // namespace

CommandLine::CommandLine(const ToolDescription& tool, int argc, char** argv) : tool_(tool) {
  if (Parse(argc, argv) && operands_.size() != tool_.operands) {
    finished_ = UsageError(operands_.size() < tool_.operands ? "missing operand" : "too many operands");
  }
}

bool CommandLine::Parse(int argc, char** argv) {
  bool optionsEnded = false;
  for (int index = 1; index < argc; ++index) {
    const std::string_view argument = argv[index];
    if (optionsEnded || argument == "-" || !argument.starts_with('-')) {
      operands_.emplace_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help") {
      std::cout << tool_.help;
      finished_ = 0;
      return false;
    } else if (argument == "--version") {
      std::cout << tool_.name << " (Ostrel) " << OSTREL_VERSION << '\n';
      finished_ = 0;
      return false;
    } else if (const Option* option = Find(tool_.options, argument); !option) {
      finished_ = UsageError("unknown option " + std::string(argument));
      return false;
    } else if (!option->takesValue) {
      given_.emplace_back(argument, "");
    } else if (index + 1 < argc) {
      given_.emplace_back(argument, argv[++index]);
    } else {
      finished_ = UsageError("option " + std::string(argument) + " needs a value");
      return false;
    }
  }
  return true;
}

bool CommandLine::Has(std::string_view option) const {
  return std::ranges::any_of(given_, [&](const auto& given) { return given.first == option; });
}

std::optional<std::string> CommandLine::Value(std::string_view option) const {
  for (const auto& [name, value] : given_) {
    if (name == option) return value;
  }
  return std::nullopt;
}

int CommandLine::UsageError(std::string_view message) const {
  std::cerr << tool_.name << ": " << message << '\n'
            << UsageParagraph(tool_.help) << "Try '" << tool_.name << " --help' for more information.\n";
  return 2;
}

}  // namespace tools
