// The command line of a tool: options, operands, --help, --version and "--".
//
// The tool's help text is its manual too (man pages are made from it), so
// it starts with a "Usage:" paragraph that usage errors repeat on stderr.
// "--" ends the options: whatever follows is an operand, even "--help".
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct Option {
  std::string_view name;  // "--user", "-u"
  bool takesValue;
};

struct ToolDescription {
  std::string_view name;
  std::string_view help;  // "Usage: ...\n\n..."; printed as it stands
  std::span<const Option> options;
  size_t operands;  // exactly this many
};

class CommandLine {
 public:
  CommandLine(const ToolDescription& tool, int argc, char** argv);

  // Set when the tool is done already: 0 after --help or --version, 2 after
  // a usage error (both printed).
  std::optional<int> finished() const { return finished_; }

  bool Has(std::string_view option) const;
  std::optional<std::string> Value(std::string_view option) const;
  const std::vector<std::string>& operands() const { return operands_; }

  // Reports a usage error the parser cannot see (options that exclude each
  // other) and returns 2.
  int UsageError(std::string_view message) const;

 private:
  bool Parse(int argc, char** argv);

  const ToolDescription& tool_;
  std::vector<std::pair<std::string, std::string>> given_;
  std::vector<std::string> operands_;
  std::optional<int> finished_;
};

}  // namespace tools
