// Runs an ostrel-call script one line at a time and prints one JSON line for
// every line that is not skipped (blank, or starting with '#'):
//
//   {"line":N,"result":VALUE}                  done ("new" and "release": null)
//   {"line":N,"result":VALUE,"args":[...]}     done, and the callee changed an
//                                              argument: all of them after the call
//   {"line":N,"error":NUMBER,"description":"..."}  the call or creation failed
//   {"line":N,"error":"..."}                   the line is no command, is too
//                                              long, or ran out of memory
//
// Values print as VariantJson says. Whatever happens, the next line runs.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "tools/script_command.h"
#include "tools/script_objects.h"

namespace tools {

// A line's 1-based place in a script. Wide enough that no script readable in
// a lifetime runs it over.
using LineNumber = int64_t;

class ScriptRunner {
 public:
  explicit ScriptRunner(std::ostream& out) : out_(out) {}

  // NUMBER is the line's 1-based place in the script, skipped lines counted.
  void RunLine(std::string_view text, LineNumber number);
  // Reports line NUMBER as longer than a script line may be.
  void RefuseLongLine(LineNumber number);
  bool allSucceeded() const { return allSucceeded_; }
  // Releases the variables still held, in the order they were created.
  void Finish() { variables_.ReleaseAll(); }

 private:
  // The fields after "line" for a command that succeeded.
  std::string Run(const Command& command);
  std::string RunCall(const CallCommand& call);
  void Print(LineNumber number, const std::string& fields);
  void PrintFailure(LineNumber number, const std::string& fields);

  std::ostream& out_;
  Variables variables_;
  bool allSucceeded_ = true;
};

}  // namespace tools
