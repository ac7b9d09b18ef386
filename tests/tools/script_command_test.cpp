// Which argument forms of a call line make which arguments, at the edges of
// the integer ranges in particular.
#include "tools/script_command.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace {

using tools::ScriptError;

tools::Argument OnlyArgument(const std::string& argument) {
  const tools::Command command = tools::ParseCommand(tools::ParseJson(R"(["call", "v", "Op", )" + argument + "]"));
  const auto& call = std::get<tools::CallCommand>(command);
  EXPECT_EQ(call.variable, u"v");
  EXPECT_EQ(call.operation, u"Op");
  EXPECT_EQ(call.arguments.size(), 1u);
  return call.arguments.at(0);
}

TEST(ScriptCommandTest, IntegersTakeTheirWholeRangeAndNothingBeyond) {
  EXPECT_EQ(std::get<tools::argument::Int16>(OnlyArgument(R"({"i2": -32768})")).value, -32768);
  EXPECT_EQ(std::get<tools::argument::Int16>(OnlyArgument(R"({"i2": 32767})")).value, 32767);
  EXPECT_EQ(std::get<tools::argument::Int32>(OnlyArgument(R"({"i4": -2147483648})")).value, INT32_MIN);
  EXPECT_EQ(std::get<tools::argument::Int32>(OnlyArgument(R"({"i4": 2147483647})")).value, INT32_MAX);
  EXPECT_EQ(std::get<tools::argument::Int16>(OnlyArgument(R"({"i2": 2.0})")).value, 2);
  for (const char* bad : {R"({"i2": 32768})", R"({"i2": -32769})", R"({"i4": 2147483648})", R"({"i2": 0.5})",
                          R"({"i2": "1"})"}) {
    EXPECT_THROW(OnlyArgument(bad), ScriptError) << bad;
  }
}

TEST(ScriptCommandTest, EachArgumentFormMakesItsKind) {
  EXPECT_EQ(std::get<tools::argument::Text>(OnlyArgument(R"("t")")).value, u"t");
  EXPECT_TRUE(std::get<tools::argument::Boolean>(OnlyArgument(R"({"bool": true})")).value);
  EXPECT_FALSE(std::get<tools::argument::Boolean>(OnlyArgument(R"({"bool": false})")).value);
  EXPECT_TRUE(std::holds_alternative<tools::argument::Nothing>(OnlyArgument("null")));
  EXPECT_EQ(std::get<tools::argument::Variable>(OnlyArgument(R"({"obj": "c"})")).name, u"c");
  EXPECT_EQ(std::get<tools::argument::NewObject>(OnlyArgument(R"({"new": "Collection"})")).progId, u"Collection");
  for (const char* bad : {"true", "1", "[]", R"({"bool": 1})", R"({"i2": 1, "i4": 2})", R"({"obj": null})"}) {
    EXPECT_THROW(OnlyArgument(bad), ScriptError) << bad;
  }
}

}  // namespace
