#include "tools/script_runner.h"

#include <new>
#include <variant>

#include <ostrel/com/com_runtime.h>
#include <ostrel/com/owned_variant.h>
#include <ostrel/com/runtime_error.h>
#include "runtime/unicode.h"
#include "tools/call_arguments.h"
#include "tools/json.h"
#include "tools/json_parse.h"
#include "tools/script_source.h"
#include "tools/variant_json.h"

namespace tools {
namespace {

bool IsSkipped(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  return first == std::string_view::npos || text[first] == '#';
}

std::string Joined(const std::vector<std::string>& items) {
  std::string json;
  for (const std::string& item : items) json += (json.empty() ? "" : ",") + item;
  return json;
}

const char kNoResult[] = ",\"result\":null";
const char kOutOfMemory[] = ",\"error\":\"out of memory\"";

}  // namespace

void ScriptRunner::RunLine(std::string_view text, LineNumber number) {
  if (IsSkipped(text)) return;
  try {
    Print(number, Run(ParseCommand(ParseJson(text))));
  } catch (const ostrel::com::RuntimeError& error) {
    PrintFailure(number,
                 ",\"error\":" + std::to_string(error.number()) + ",\"description\":" + JsonString(error.description()));
  } catch (const std::runtime_error& error) {
    PrintFailure(number, ",\"error\":" + JsonString(ostrel::com::FromUtf8(error.what())));
  } catch (const std::bad_alloc&) {
    PrintFailure(number, kOutOfMemory);
  }
}

void ScriptRunner::RefuseLongLine(LineNumber number) {
  PrintFailure(number, ",\"error\":\"the line is longer than " + std::to_string(kMaxScriptLine) + " bytes\"");
}

// Flushed at once, so that the line stands after any message box that its
// call showed on stderr.
void ScriptRunner::Print(LineNumber number, const std::string& fields) {
  out_ << "{\"line\":" << number << fields << '}' << std::endl;
}

void ScriptRunner::PrintFailure(LineNumber number, const std::string& fields) {
  allSucceeded_ = false;
  Print(number, fields);
}

std::string ScriptRunner::Run(const Command& command) {
  if (const auto* create = std::get_if<NewCommand>(&command)) {
    variables_.Add(create->variable, CreateByProgId(create->progId));
    return kNoResult;
  }
  if (const auto* release = std::get_if<ReleaseCommand>(&command)) {
    variables_.Release(release->variable);
    return kNoResult;
  }
  return RunCall(std::get<CallCommand>(command));
}

std::string ScriptRunner::RunCall(const CallCommand& call) {
  IDispatch* object = variables_.Find(call.variable);
  CallArguments arguments(call.arguments, variables_);
  const std::vector<std::string> before = arguments.Json(variables_);
  const ostrel::com::OwnedVariant result(ostrel::com::CallByName(object, call.operation, arguments.references(), arguments.count()));
  std::string fields = ",\"result\":" + VariantJson(result.value, variables_);
  const std::vector<std::string> after = arguments.Json(variables_);
  if (after != before) fields += ",\"args\":[" + Joined(after) + "]";
  return fields;
}

}  // namespace tools
