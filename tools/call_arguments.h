// The arguments of one late-bound call, each in a variant of the tool's own
// that the callee receives by reference (VT_BYREF | VT_VARIANT), as a
// late-bound client passes its variables: the callee reads the value and may
// replace it, and the tool sees what it left there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <ostrel/com/com.h>
#include <ostrel/com/owned_variant.h>
#include "tools/script_command.h"
#include "tools/script_objects.h"

namespace tools {

class CallArguments {
 public:
  // Raises ScriptError for a variable not held, and the creation's
  // RuntimeError when a {"new": PROGID} object cannot be made.
  CallArguments(const std::vector<Argument>& arguments, const Variables& variables);
  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;

  VARIANT* references() { return references_.data(); }
  uint32_t count() const { return static_cast<uint32_t>(references_.size()); }

  // Each value as VariantJson prints it, in positional order.
  std::vector<std::string> Json(const Variables& variables) const;

 private:
  std::vector<ostrel::com::OwnedVariant> values_;
  std::vector<VARIANT> references_;
};

}  // namespace tools
