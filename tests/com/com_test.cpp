// The component model: creation through the registry, reference counting,
// unloading, and late-bound calls that behave exactly like slot calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <ostrel/com/com_runtime.h>
#include "com/registration_store.h"
#include "com/registry.h"
#include "com/registry_search.h"
#include <ostrel/com/runtime_error.h>
#include "tests/com/scratch_registry.h"
#include "tests/testserver/counter.h"

namespace {

using ostrel::com::Bstr;
using ostrel::com::ComPtr;
using ostrel::com::RuntimeError;

int ErrorNumberOf(HRESULT status) {
  try {
    ostrel::com::Check(status);
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

TEST_F(ScratchRegistry, UnregisteredClassFailsWith429NamingTheClass) {
  ComPtr<_Counter> counter;
  const HRESULT status = ostrel::com::CoCreateInstance(counter::kCounterId, _Counter::iid, counter.ReceiveVoid());
  try {
    ostrel::com::Check(status);
    FAIL() << "creation succeeded";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 429);
    EXPECT_NE(error.description().find(u"7A0C5E10"), std::u16string::npos);
  }
  EXPECT_FALSE(counter);
}

TEST_F(ScratchRegistry, RegisteredClassIsCreatedByIdAndByProgId) {
  ASSERT_EQ(RegisterCounterServer(), 0);
  auto counter = ostrel::com::CreateObject<_Counter>(counter::kCounterId);
  int16_t step = 2, result = 0;
  ASSERT_EQ(counter->Bump(&step, &result), S_OK);
  EXPECT_EQ(result, 2);

  ComPtr<IDispatch> byName = ostrel::com::CreateObject(u"counterserver.COUNTER");
  EXPECT_TRUE(byName.As<_Counter>());
}

TEST_F(ScratchRegistry, LibraryThatIsGoneFailsWith429) {
  ostrel::com::Registry registry;
  registry.Put(ostrel::com::ClassEntry{counter::kCounterId, "CounterServer.Counter", "Apartment", counter::kTypeLibraryId,
                                    (folder_ / "missing.so").string()});
  ostrel::com::WriteRegistration(registry_, counter::kTypeLibraryId, registry);
  ComPtr<_Counter> counter;
  EXPECT_EQ(ErrorNumberOf(ostrel::com::CoCreateInstance(counter::kCounterId, _Counter::iid, counter.ReceiveVoid())), 429);
}

TEST_F(ScratchRegistry, UnregisterRemovesOnlyThatLibrarysEntries) {
  ostrel::com::Registry other;
  other.Put(ostrel::com::ClassEntry{{1, 2, 3, {4}}, "Other.Thing", "Apartment", {}, "/opt/other.so"});
  ostrel::com::WriteRegistration(registry_, {9, 0, 0, {}}, other);
  ASSERT_EQ(RegisterCounterServer(), 0);
  ASSERT_EQ(UnregisterCounterServer(), 0);
  EXPECT_FALSE(ostrel::com::LookUpClass(counter::kCounterId));
  EXPECT_TRUE(ostrel::com::LookUpProgId("Other.Thing"));
}

TEST_F(ScratchRegistry, LibraryUnloadsOnlyWhenNoObjectIsAlive) {
  ASSERT_EQ(RegisterCounterServer(), 0);
  auto counter = ostrel::com::CreateObject<_Counter>(counter::kCounterId);
  ostrel::com::CoFreeUnusedLibraries();
  int16_t step = 1, result = 0;
  EXPECT_EQ(counter->Bump(&step, &result), S_OK);  // still loaded: it would crash otherwise
  counter.Reset();
  ostrel::com::CoFreeUnusedLibraries();
  auto again = ostrel::com::CreateObject<_Counter>(counter::kCounterId);
  ASSERT_EQ(again->Bump(&step, &result), S_OK);
  EXPECT_EQ(result, 1);  // a fresh object of the reloaded library
}

TEST(RegistryFile, RoundTripKeepsUnknownLinesAndLeavesNoTemporary) {
  const auto folder = std::filesystem::temp_directory_path() / ("registry-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "registry").string();
  std::ofstream(path) << "# kept as it is\n";
  auto registry = ostrel::com::Registry::Load(path);
  registry.Put(ostrel::com::TypeLibraryEntry{counter::kTypeLibraryId, "CounterServer", 1, 0, "/a b/lib.so"});
  registry.Put(ostrel::com::ClassEntry{counter::kCounterId, "CounterServer.Counter", "Apartment", counter::kTypeLibraryId,
                                    "/a b/lib.so"});
  registry.Save(path);

  const auto loaded = ostrel::com::Registry::Load(path);
  ASSERT_EQ(loaded.classes().size(), 1u);
  EXPECT_EQ(loaded.classes()[0].library, "/a b/lib.so");
  EXPECT_EQ(loaded.classes()[0].threadingModel, "Apartment");
  ASSERT_EQ(loaded.typeLibraries().size(), 1u);
  EXPECT_EQ(loaded.typeLibraries()[0].major, 1);
  std::ifstream file(path);
  std::string content((std::istreambuf_iterator<char>(file)), {});
  EXPECT_NE(content.find("# kept as it is"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
  std::filesystem::remove_all(folder);
}

// The registry is split into lines by hand: every line is kept, the last
// one with or without its line end, and a CR before a LF is dropped.
struct RegistryLinesCase {
  const char* name;
  std::string file;
  std::string text;  // as saved again
  size_t foreignLine;
};

const RegistryLinesCase kRegistryLinesCases[] = {
    {"EveryLineEndsInLf", "# a\n\n# b\n", "# a\n\n# b\n", 0},
    {"LastLineWithoutALineEndIsALine", "# a\nnot an entry", "# a\nnot an entry\n", 2},
    {"EmptyFileHasNoLines", "", "", 0},
    {"LoneLineEndIsOneBlankLine", "\n", "\n", 0},
    {"CrLfLinesLoseTheirCr", "# a\r\n\r\nb\r\n", "# a\n\nb\n", 3},
    {"LoneCrStaysInItsLine", "# a\rb\n", "# a\rb\n", 0},
};

class RegistryLinesTest : public testing::TestWithParam<RegistryLinesCase> {};

TEST_P(RegistryLinesTest, KeepsEveryLine) {
  const auto folder = std::filesystem::temp_directory_path() / ("registry-lines-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "registry").string();
  std::ofstream(path, std::ios::binary) << GetParam().file;
  const auto registry = ostrel::com::Registry::Load(path);
  std::filesystem::remove_all(folder);
  EXPECT_EQ(registry.Text(), GetParam().text);
  EXPECT_EQ(registry.foreignLine(), GetParam().foreignLine);
}

INSTANTIATE_TEST_SUITE_P(Files, RegistryLinesTest, testing::ValuesIn(kRegistryLinesCases),
                         [](const testing::TestParamInfo<RegistryLinesCase>& info) { return info.param.name; });

TEST(Guid, TextRoundTrip) {
  const std::string text = GuidToString(counter::kCounterId);
  EXPECT_EQ(text, "{7A0C5E10-1D2B-4C3A-8E01-000000000001}");
  GUID parsed{};
  ASSERT_TRUE(GuidFromString(text, &parsed));
  EXPECT_EQ(parsed, counter::kCounterId);
  EXPECT_FALSE(GuidFromString("{7A0C5E10-1D2B-4C3A-8E01-00000000000G}", &parsed));
}

}  // namespace

// A variant's value is as wide as a pointer: initialising it must clear all of
// it, or a type set later over a leftover pointer frees something never held.
TEST(VariantTest, InitialisationClearsTheWholeValue) {
  VARIANT value;
  std::memset(&value, 0xA5, sizeof value);
  VariantInit(&value);
  EXPECT_EQ(value.vt, VT_EMPTY);
  EXPECT_EQ(value.pdispVal, nullptr);
  EXPECT_EQ(value.bstrVal, nullptr);
}
