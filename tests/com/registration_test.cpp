// Registering with ostrel-regsvr, run as a program the way users run it:
// registrations that cannot lose each other's entries, registries that are
// left as they were when they cannot be read or written, files that keep
// their nature, and the order in which registries answer.
#include <span>

#include "tests/com/registration_fixture.h"
#include "tests/testserver/counter.h"
#include <ostrel/ostrel.h>

namespace {

using namespace registration;

// A folder and a single file of the older form, both holding another
// library's entries first.
class ConcurrentRegistration : public Registration, public ::testing::WithParamInterface<bool> {};

// Each of fifty rounds starts from a registry holding another library's
// entries and registers Ostrel and the counter server at the same moment.
TEST_P(ConcurrentRegistration, FiftyPairsAtOnceLoseNothing) {
  const bool singleFile = GetParam();
  const fs::path registry = folder_ / "registry";
  const std::string regsvr = "COM_REGISTRY=" + Quoted(registry) + " " + Quoted(kBin + "/ostrel-regsvr") + " ";
  const std::string failures = Quoted(folder_ / "failures");
  std::string pair;
  for (const std::string& library : {kOstrel, kCounter}) {
    pair += "(" + regsvr + Quoted(library) + " >/dev/null 2>>" + failures + " || echo failed >>" + failures + ") & ";
  }
  const std::string command = "bash -c " + Quoted(pair + "wait");
  const auto find = [&](const GUID& typeLibrary, const CLSID& clsid) {
    return Load(singleFile ? registry : FileOf(registry, typeLibrary)).FindClass(clsid).has_value();
  };
  int roundsLosingAnEntry = 0;
  for (int round = 0; round < 50; ++round) {
    fs::remove_all(registry);
    if (singleFile) std::ofstream(registry) << "";
    RegisterOtherLibrary(registry);
    ASSERT_EQ(std::system(command.c_str()), 0);
    const bool complete = find(kOtherLibraryId, kOtherClassId) && find(counter::kTypeLibraryId, counter::kCounterId) &&
                          find(ostrel::kTypeLibraryId, ostrel::kCXmlReaderId) &&
                          find(ostrel::kTypeLibraryId, ostrel::kCXmlWriterId) &&
                          find(ostrel::kTypeLibraryId, ostrel::kIXmlHandlerId);
    roundsLosingAnEntry += complete ? 0 : 1;
    for (const auto& item : fs::directory_iterator(singleFile ? folder_ : registry)) {
      EXPECT_FALSE(item.path().filename().string().starts_with(".")) << "a temporary file is left: " << item.path();
    }
  }
  EXPECT_EQ(roundsLosingAnEntry, 0);
  EXPECT_EQ(Slurp(folder_ / "failures"), "");
}

INSTANTIATE_TEST_SUITE_P(FolderAndSingleFile, ConcurrentRegistration, ::testing::Bool());

TEST_F(Registration, ARegistryThatCannotBeReadOrWrittenIsLeftAsItWasAndTheToolFails) {
  const fs::path unreadableFolder = folder_ / "unreadable-folder";
  const fs::path unwritableFolder = folder_ / "unwritable-folder";
  // Write-only, in a folder anyone may change: only reading it is refused.
  const fs::path unreadableFile = folder_ / "open" / "unreadable-file";
  const fs::path unreadableRegistration = folder_ / "unreadable-registration";
  for (const fs::path& registry : {unreadableFolder, unwritableFolder, unreadableRegistration}) {
    RegisterOtherLibrary(registry);
  }
  fs::create_directories(unreadableFile.parent_path());
  std::ofstream(unreadableFile) << "typelib {00000099-0000-0000-0000-000000000000} name=Other version=2.1 library=/o\n";
  const fs::path registration = FileOf(unreadableRegistration, counter::kTypeLibraryId);
  std::ofstream(registration) << "kept\n";
  UseCopiesForAnyone();
  const std::string library = (folder_ / "tools" / "libcounter_server.so").string();
  ::chmod(folder_.c_str(), 0755);
  ::chmod(registration.c_str(), 0);
  ::chmod(unreadableRegistration.c_str(), 0777);  // only the registration itself is out of reach
  ::chmod(unreadableFile.c_str(), 0222);
  ::chmod(unreadableFile.parent_path().c_str(), 0777);
  ::chmod(unreadableFolder.c_str(), 0);
  ::chmod(unwritableFolder.c_str(), 0555);
  const std::pair<fs::path, std::string> cases[] = {
      {unreadableFolder, ""}, {unreadableFolder, "-u "}, {unwritableFolder, ""}, {unwritableFolder, "-u "},
      {unreadableFile, ""},   {unreadableFile, "-u "},   {unreadableRegistration, ""},
  };
  for (const auto& [registry, options] : cases) {
    const auto before = Snapshot(registry);
    const ToolRun run = Regsvr(options + "--registry " + Quoted(registry) + " " + Quoted(library), AsAnotherUser());
    const std::string what = options + registry.filename().string();
    EXPECT_EQ(run.status, 1) << what << ": " << run.out << run.errors;
    EXPECT_EQ(run.out, "") << what;
    EXPECT_NE(run.errors.find("ostrel-regsvr: " + library + ": error 70: "), std::string::npos) << what << run.errors;
    EXPECT_NE(run.errors.find(registry.string()), std::string::npos) << what << ": names the registry: " << run.errors;
    EXPECT_EQ(Snapshot(registry), before) << what;
  }
  for (const fs::path& item : {registration, unreadableFile, unreadableFolder, unwritableFolder}) {
    ::chmod(item.c_str(), 0700);
  }
}

TEST_F(Registration, ALinkedOrPrivateRegistrationKeepsItsTargetAndMode) {
  const fs::path registry = folder_ / "registry";
  const fs::path elsewhere = folder_ / "elsewhere.reg";
  const fs::path singleFile = folder_ / "single";
  fs::create_directories(registry);
  std::ofstream(elsewhere) << "old\n";
  ::chmod(elsewhere.c_str(), 0600);
  fs::create_symlink("../elsewhere.reg", FileOf(registry, counter::kTypeLibraryId));
  std::ofstream(singleFile) << "# kept\n";
  ::chmod(singleFile.c_str(), 0600);
  fs::create_symlink("single", folder_ / "single-link");

  ASSERT_EQ(Regsvr("--registry " + Quoted(registry) + " " + Quoted(kCounter)).status, 0);
  ASSERT_EQ(Regsvr(Quoted(kCounter), "COM_REGISTRY=" + Quoted(folder_ / "single-link")).status, 0);

  EXPECT_EQ(fs::read_symlink(FileOf(registry, counter::kTypeLibraryId)), "../elsewhere.reg");
  EXPECT_TRUE(Load(elsewhere).FindClass(counter::kCounterId));
  EXPECT_TRUE(fs::is_symlink(folder_ / "single-link"));
  EXPECT_TRUE(Load(singleFile).FindClass(counter::kCounterId));
  EXPECT_NE(Slurp(singleFile).find("# kept\n"), std::string::npos);
  for (const fs::path& file : {elsewhere, singleFile}) {
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write) << file;
  }
}

TEST_F(Registration, ALibraryGoneSinceItsRegistrationFailsWith429NamingItsFile) {
  const fs::path library = folder_ / "libcounter_copy.so";
  fs::copy_file(kCounter, library);
  const fs::path registry = folder_ / "registry";
  ASSERT_EQ(Regsvr("--registry " + Quoted(registry) + " " + Quoted(library)).status, 0);
  fs::remove(library);
  const fs::path script = folder_ / "script.txt";
  std::ofstream(script) << "[\"new\",\"c\",\"CounterServer.Counter\"]\n";
  const std::string command = "COM_REGISTRY=" + Quoted(registry) + " " + Quoted(kBin + "/ostrel-call") + " " +
                              Quoted(script) + " >" + Quoted(folder_ / "out.txt") + " 2>&1";
  std::system(command.c_str());
  const std::string out = Slurp(folder_ / "out.txt");
  EXPECT_NE(out.find("\"error\":429"), std::string::npos) << out;
  EXPECT_NE(out.find(library.string()), std::string::npos) << out;
}

}  // namespace

namespace {

// The same class registered in every registry, each naming a library of its
// own; taking the registries away one by one shows who answers. The program
// and the runtime it loads lie in folders of their own.
TEST_F(Registration, RegistriesAnswerInTheirOrderAndTheFirstMatchWins) {
  const fs::path program = folder_ / "app" / "registry_probe", runtime = folder_ / "runtime";
  fs::create_directories(program.parent_path());
  fs::create_directories(runtime);
  fs::copy_file(kBin + "/registry_probe", program);
  fs::copy_file(kBin + "/libostrel-com.so.1", runtime / "libostrel-com.so.1");
  const fs::path chosen = folder_ / "chosen", local = folder_ / "app" / "com-registry.d";
  const fs::path besideRuntime = runtime / "com-registry.d", installed = runtime / "com" / "registry.d";
  const fs::path config = folder_ / "config", user = config / "com" / "registry.d", old = config / "com" / "registry";
  const fs::path etc = folder_ / "etc", usr = folder_ / "usr";
  const fs::path order[] = {chosen, local, besideRuntime, user, old, installed, etc, usr};
  fs::create_directories(user);
  std::ofstream(old) << "";
  for (const fs::path& registry : order) {
    ostrel::com::Registry entries;
    entries.Put(ostrel::com::ClassEntry{counter::kCounterId, "C.C", "Apartment", counter::kTypeLibraryId,
                                        registry.filename().string() + ".so"});
    ostrel::com::WriteRegistration(registry.string(), counter::kTypeLibraryId, entries);
  }
  const std::string environment = "LD_LIBRARY_PATH=" + Quoted(runtime) + " XDG_CONFIG_HOME=" + Quoted(config) +
                                  " COM_SYSTEM_REGISTRY_FOLDERS=" + Quoted(etc.string() + ":" + usr.string()) + " ";
  const auto answer = [&](const std::string& chosenRegistry) {
    const std::string command = environment + chosenRegistry + Quoted(program) + " " +
                                GuidToString(counter::kCounterId) + " >" + Quoted(folder_ / "out.txt");
    return std::system(command.c_str()) == 0 ? Slurp(folder_ / "out.txt") : "failed";
  };
  // A relative library path starts at the folder of the file that names it.
  EXPECT_EQ(answer("COM_REGISTRY=" + Quoted(chosen) + " "), (chosen / "chosen.so").string() + "\n");
  for (const fs::path& registry : std::span(order).subspan(1)) {
    const fs::path expected = (fs::is_directory(registry) ? registry : registry.parent_path()) /
                              (registry.filename().string() + ".so");
    EXPECT_EQ(answer("env -u COM_REGISTRY "), expected.string() + "\n") << registry;
    fs::remove_all(registry);
  }
  EXPECT_EQ(answer("env -u COM_REGISTRY "), "none\n");
}

}  // namespace

namespace {

TEST_F(Registration, HelpVersionAndUsageErrors) {
  const ToolRun help = Regsvr("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: ostrel-regsvr [--user | --system | --registry DIR]")) << help.out;
  EXPECT_EQ(help.errors, "");
  const ToolRun version = Regsvr("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "ostrel-regsvr (Ostrel) 1.0.0.0\n");
  for (const std::string arguments : {"", "a b", "--frobnicate x", "--registry", "--user --system x"}) {
    const ToolRun run = Regsvr(arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_EQ(run.out, "") << arguments;
    EXPECT_NE(run.errors.find("\nUsage: ostrel-regsvr "), std::string::npos) << arguments << ": " << run.errors;
  }
  // After "--" an operand that looks like an option is a library's name.
  const ToolRun dashed = Regsvr("-- --help", "cd " + Quoted(folder_) + " &&");
  EXPECT_EQ(dashed.status, 1);
  EXPECT_NE(dashed.errors.find("--help"), std::string::npos) << dashed.errors;
}

TEST_F(Registration, TheRecordedLibraryPathAndTheSystemFolder) {
  const fs::path system = folder_ / "etc-com";
  const std::string environment = "COM_SYSTEM_REGISTRY_FOLDERS=" + Quoted(system) + " ";
  const ToolRun run = Regsvr("--system --library-path ../lib/libcounter.so.1 " + Quoted(kCounter), environment);
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.out, kCounter + ": registered in " + system.string() + "\n");
  const auto registry = Load(FileOf(system, counter::kTypeLibraryId));
  ASSERT_EQ(registry.classes().size(), 1u);
  EXPECT_EQ(registry.classes()[0].library, "../lib/libcounter.so.1");
  EXPECT_EQ(registry.FindClass(counter::kCounterId)->library, (system / "../lib/libcounter.so.1").string());
}

// Entries for the library in the user's single file of older versions would
// answer for it after -u, so -u from the user's folder takes them out too,
// and only them.
TEST_F(Registration, UnregisteringFromTheUserFolderAlsoCleansTheOlderSingleFile) {
  const fs::path config = folder_ / "config";
  const fs::path old = config / "com" / "registry";
  fs::create_directories(old.parent_path());
  std::ofstream(old) << "# the user's own note\n";
  RegisterOtherLibrary(old);
  ASSERT_EQ(Regsvr(Quoted(kCounter), "COM_REGISTRY=" + Quoted(old)).status, 0);
  const std::string user = "env -u COM_REGISTRY XDG_CONFIG_HOME=" + Quoted(config);
  ASSERT_EQ(Regsvr(Quoted(kCounter), user).status, 0);
  EXPECT_TRUE(fs::exists(FileOf(config / "com" / "registry.d", counter::kTypeLibraryId)));

  const ToolRun run = Regsvr("-u --user " + Quoted(kCounter), user);
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_FALSE(fs::exists(FileOf(config / "com" / "registry.d", counter::kTypeLibraryId)));
  const auto remaining = Load(old);
  EXPECT_FALSE(remaining.FindClass(counter::kCounterId));
  EXPECT_TRUE(remaining.FindClass(kOtherClassId));
  EXPECT_NE(Slurp(old).find("# the user's own note\n"), std::string::npos);
}

}  // namespace
