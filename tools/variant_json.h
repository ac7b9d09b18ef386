// How ostrel-call prints a value that a call returned or left in an argument:
//
//   nothing (VT_EMPTY)      null
//   Boolean                 true or false
//   16- or 32-bit integer   the number
//   text                    a JSON string
//   Nothing (no object)     null
//   an object a variable    {"obj":"VAR"}, naming the first variable that
//     holds                 holds it, as a script would pass it
//   another Collection      {"collection":[["KEY","VALUE"],...]}
//   another object          {"obj":null}
#pragma once

#include <string>

#include <ostrel/com/com.h>
#include "tools/script_objects.h"

namespace tools {

std::string VariantJson(const VARIANT& value, const Variables& variables);

}  // namespace tools
