// What the registry trusts: no folder taken from the current one, no link
// followed and no file of another user's reused where others may write, no
// control character in a line, no file of something else rewritten as a
// registry, and no special or huge file read. Each case runs the programs as
// users run them.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "com/registry_search.h"
#include "tests/com/registration_fixture.h"
#include "tests/testserver/counter.h"
#include <ostrel/ostrel.h>

namespace {

using namespace registration;

const std::string kCounterClass = GuidToString(counter::kCounterId);
// The counter server's registration file, as users find it in their folder.
constexpr char kCounterFile[] = "7a0c5e11-1d2b-4c3a-8e01-000000000002.reg";

class RegistryTrust : public Registration {
 protected:
  // A registration of the counter class naming LIBRARY, in REGISTRY (a
  // folder or a file).
  static void RegisterCounterAs(const fs::path& registry, const std::string& library) {
    ostrel::com::Registry entries;
    entries.Put(ostrel::com::ClassEntry{counter::kCounterId, "CounterServer.Counter", "Apartment",
                                        counter::kTypeLibraryId, library});
    ostrel::com::WriteRegistration(registry.string(), counter::kTypeLibraryId, entries);
  }

  // What registry_probe answers for the counter class, run in FROM with only
  // ENVIRONMENT and PATH set, and empty system folders.
  std::string Probe(const std::string& environment, const fs::path& from) {
    fs::create_directories(folder_ / "system");
    const std::string command = "cd " + Quoted(from) + " && env -i PATH=/usr/bin:/bin COM_SYSTEM_REGISTRY_FOLDERS=" +
                                Quoted(folder_ / "system") + " " + environment + " " + Quoted(kBin + "/registry_probe") +
                                " " + kCounterClass + " >" + Quoted(folder_ / "probe.txt") + " 2>&1";
    std::system(command.c_str());
    return Slurp(folder_ / "probe.txt");
  }

  // What ostrel-call prints for creating the counter by its ProgID, with
  // REGISTRY first; a guard ends a run that hangs.
  std::string CreateCounter(const fs::path& registry) {
    const fs::path script = folder_ / "script.txt";
    std::ofstream(script) << "[\"new\",\"c\",\"CounterServer.Counter\"]\n";
    const std::string command = "COM_REGISTRY=" + Quoted(registry) + " timeout 20 " + Quoted(kBin + "/ostrel-call") +
                                " " + Quoted(script) + " >" + Quoted(folder_ / "call.txt") + " 2>&1";
    const int status = std::system(command.c_str());
    return (WIFEXITED(status) && WEXITSTATUS(status) == 124 ? "hung: " : "") + Slurp(folder_ / "call.txt");
  }
};

// With HOME unset or relative, or a relative XDG_CONFIG_HOME, a registration
// planted under the current folder once answered ahead of the system's.
TEST_F(RegistryTrust, NoLookupDependsOnTheCurrentFolder) {
  const fs::path here = folder_ / "here";
  RegisterCounterAs(here / ".config" / "com" / "registry.d", "/planted/home.so");
  RegisterCounterAs(here / "config" / "com" / "registry.d", "/planted/xdg.so");
  for (const std::string environment : {"", "HOME=.", "HOME=here", "XDG_CONFIG_HOME=config"}) {
    EXPECT_EQ(Probe(environment, here), "none\n") << environment;
  }
}

TEST_F(RegistryTrust, WithoutHomeTheUserFolderComesFromThePasswordDatabase) {
  const auto saved = [](const char* name) { return ::getenv(name) ? std::string(::getenv(name)) : ""; };
  const std::string home = saved("HOME"), config = saved("XDG_CONFIG_HOME");
  ::unsetenv("HOME");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);
  const std::string folder = ostrel::com::UserRegistryFolder();
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  const passwd* user = ::getpwuid(::geteuid());
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(folder, std::string(user->pw_dir) + "/.config/com/registry.d");
}

// A user with neither HOME nor a home in the password database has no user
// folder: --user says so and writes nothing, not even in the current folder.
TEST_F(RegistryTrust, WithNoHomeAtAllUserRegistrationFailsAndWritesNothing) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs a user without a password entry: run as root";
  UseCopiesForAnyone();
  const fs::path here = folder_ / "here";
  fs::create_directories(here);
  ::chmod(folder_.c_str(), 0755);
  ::chmod(here.c_str(), 0777);
  constexpr const char* kNobodyKnown = "54321";
  ASSERT_EQ(::getpwuid(54321), nullptr) << "uid " << kNobodyKnown << " has a password entry here";
  const ToolRun run = Regsvr("--user " + Quoted(folder_ / "tools" / "libcounter_server.so"),
                             "cd " + Quoted(here) + " && env -u HOME -u XDG_CONFIG_HOME -u COM_REGISTRY setpriv --reuid=" +
                                 kNobodyKnown + " --regid=" + kNobodyKnown + " --clear-groups");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("the user has no home folder"), std::string::npos) << run.errors;
  EXPECT_TRUE(fs::is_empty(here));
}

// A relative COM_REGISTRY would name another registry in every folder: it is
// refused, and nothing is written in the current folder.
TEST_F(RegistryTrust, ARelativeComRegistryIsRefused) {
  const fs::path here = folder_ / "here";
  RegisterCounterAs(here / "registry", "/planted/chosen.so");
  const std::string probe = Probe("COM_REGISTRY=registry", here);
  EXPECT_TRUE(probe.starts_with("error 52: COM_REGISTRY ")) << probe;
  EXPECT_NE(probe.find("registry"), std::string::npos) << probe;
  const ToolRun run = Regsvr(Quoted(kCounter), "cd " + Quoted(here) + " && COM_REGISTRY=new-registry");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("error 52: COM_REGISTRY "), std::string::npos) << run.errors;
  EXPECT_FALSE(fs::exists(here / "new-registry"));
}

// Root registering into a folder anyone may change: a link planted there is
// replaced, not followed, and a file another user made there is replaced by
// one of root's own that others cannot write.
TEST_F(RegistryTrust, WritingWhereOthersMayWriteNeverFollowsALinkNorReusesAFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs another user's files: run as root";
  const fs::path victim = folder_ / "victim";
  std::ofstream(victim) << "victim\n";
  ::chown(victim.c_str(), 65534, 65534);
  for (const mode_t mode : {01777, 0777, 0775}) {
    const fs::path shared = folder_ / ("shared-" + std::to_string(mode));
    fs::create_directories(shared);
    ::chmod(shared.c_str(), mode);
    fs::create_symlink(victim, shared / kCounterFile);
    fs::create_symlink(victim, shared / "single");
    const fs::path adopted = folder_ / ("adopted-" + std::to_string(mode));
    fs::create_directories(adopted);
    ::chmod(adopted.c_str(), mode);
    std::ofstream(adopted / kCounterFile) << "";
    ::chown((adopted / kCounterFile).c_str(), 65534, 65534);
    ::chmod((adopted / kCounterFile).c_str(), 0666);

    for (const fs::path& registry : {shared, shared / "single", adopted}) {
      const ToolRun run = Regsvr("--registry " + Quoted(registry) + " " + Quoted(kCounter));
      ASSERT_EQ(run.status, 0) << registry << run.errors;
      const fs::path file = fs::is_directory(registry) ? registry / kCounterFile : registry;
      struct stat info {};
      ASSERT_EQ(::lstat(file.c_str(), &info), 0);
      EXPECT_TRUE(S_ISREG(info.st_mode)) << file;
      EXPECT_EQ(info.st_uid, 0u) << file;
      EXPECT_EQ(info.st_mode & 07777, 0644u) << file;
      EXPECT_TRUE(Load(file).FindClass(counter::kCounterId)) << file;
    }
    EXPECT_EQ(Slurp(victim), "victim\n") << mode;
  }
}

// A control character in a library path would end the line early and could
// add a line naming any library.
TEST_F(RegistryTrust, ControlCharactersInALibraryPathAreRefusedAndNothingIsWritten) {
  const fs::path registry = folder_ / "registry";
  for (const std::string control : {"\n", "\r", "\t", "\x1b"}) {
    const std::string injected = "x.so" + control + "class " + kCounterClass + " library=/evil.so";
    const ToolRun option = Regsvr("--registry " + Quoted(registry) + " --library-path " + Quoted(injected) + " " +
                                  Quoted(kCounter));
    EXPECT_EQ(option.status, 1) << option.out;
    EXPECT_NE(option.errors.find("error 52: "), std::string::npos) << option.errors;
    const fs::path library = folder_ / ("lib" + control + "counter.so");
    fs::copy_file(kCounter, library, fs::copy_options::overwrite_existing);
    const ToolRun file = Regsvr("--registry " + Quoted(registry) + " " + Quoted(library));
    EXPECT_EQ(file.status, 1) << file.out;
    EXPECT_NE(file.errors.find("error 52: "), std::string::npos) << file.errors;
    EXPECT_FALSE(fs::exists(registry));
  }
}

TEST_F(RegistryTrust, ALineSavedWithCrLfReadsWithoutTheCr) {
  const fs::path file = folder_ / "crlf.reg";
  std::ofstream(file) << "typelib {7A0C5E11-1D2B-4C3A-8E01-000000000002} name=CounterServer version=1.0 library=/x/lib.so\r\n"
                      << "class " << kCounterClass << " progid=CounterServer.Counter threading=Apartment"
                      << " typelib={7A0C5E11-1D2B-4C3A-8E01-000000000002} library=/x/lib.so\r\n";
  const auto registry = Load(file);
  ASSERT_TRUE(registry.FindClass(counter::kCounterId));
  EXPECT_EQ(registry.FindClass(counter::kCounterId)->library, "/x/lib.so");
  ASSERT_EQ(registry.typeLibraries().size(), 1u);
  EXPECT_EQ(registry.typeLibraries()[0].library, "/x/lib.so");
}

TEST_F(RegistryTrust, AnOrdinaryFileThatIsNoRegistryIsLeftAsItWas) {
  const fs::path notes = folder_ / "notes.txt";
  std::ofstream(notes) << "Shopping\nmilk\n";
  for (const std::string options : {"", "-u "}) {
    const ToolRun run = Regsvr(options + "--registry " + Quoted(notes) + " " + Quoted(kCounter));
    EXPECT_EQ(run.status, 1) << options << run.out;
    EXPECT_NE(run.errors.find(notes.string()), std::string::npos) << run.errors;
    EXPECT_EQ(Slurp(notes), "Shopping\nmilk\n") << options;
  }
}

TEST_F(RegistryTrust, UnregisteringKeepsCommentsAndBlankLinesWhereTheyStood) {
  const fs::path old = folder_ / "registry";
  std::ofstream(old) << "# head\n\n";
  RegisterOtherLibrary(old);
  std::ofstream(old, std::ios::app) << "# middle\n";
  ASSERT_EQ(Regsvr("--registry " + Quoted(old) + " " + Quoted(kCounter)).status, 0);
  std::ofstream(old, std::ios::app) << "\n# tail\n";
  const std::string before = Slurp(old);
  const std::string other = before.substr(8, before.find("# middle\n") - 8);

  ASSERT_EQ(Regsvr("-u --registry " + Quoted(old) + " " + Quoted(kCounter)).status, 0);
  EXPECT_EQ(Slurp(old), "# head\n\n" + other + "# middle\n\n# tail\n");
}

TEST_F(RegistryTrust, UnregisteringWhatIsNotThereSaysSo) {
  const fs::path registry = folder_ / "registry";
  RegisterOtherLibrary(registry);
  const fs::path old = folder_ / "old";
  std::ofstream(old) << "# nothing\n";
  for (const fs::path& where : {registry, old}) {
    const ToolRun run = Regsvr("-u --registry " + Quoted(where) + " " + Quoted(kCounter));
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.out, kCounter + ": was not registered in " + where.string() + "\n");
  }
}

// A FIFO once hung every creation, a device was read as a registration and a
// huge file was read whole; each is now passed over at once, and the failed
// creation names it.
TEST_F(RegistryTrust, SpecialOrHugeRegistrationsFailFastNamingThemselves) {
  const fs::path registry = folder_ / "registry";
  fs::create_directories(registry);
  const fs::path fifo = registry / "a.reg", device = registry / "b.reg", huge = registry / "c.reg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  fs::create_symlink("/dev/null", device);
  std::ofstream(huge) << "#" << std::string(ostrel::com::Registry::kFileLimit, 'x') << "\n";
  for (const fs::path& file : {fifo, device, huge}) {
    const std::string out = CreateCounter(registry);
    EXPECT_NE(out.find("\"error\":429"), std::string::npos) << out;
    EXPECT_NE(out.find(file.string()), std::string::npos) << out;
    fs::remove(file);
  }
}

TEST_F(RegistryTrust, ALibraryThatIsNoRegularFileFailsWith429NamingIt) {
  const fs::path registry = folder_ / "registry", fifo = folder_ / "fifo.so";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  RegisterCounterAs(registry, fifo.string());
  const std::string out = CreateCounter(registry);
  EXPECT_NE(out.find("\"error\":429"), std::string::npos) << out;
  EXPECT_NE(out.find(fifo.string()), std::string::npos) << out;
}

TEST_F(RegistryTrust, TheRegistrationFileNameIsTheLibraryIdInLowerCaseWithoutBraces) {
  const fs::path registry = folder_ / "registry";
  ASSERT_EQ(Regsvr("--registry " + Quoted(registry) + " " + Quoted(kCounter)).status, 0);
  EXPECT_TRUE(fs::is_regular_file(registry / kCounterFile));
  EXPECT_EQ(ostrel::com::RegistrationFileName(ostrel::kTypeLibraryId), "3f6a1d20-8c4b-4e2a-b157-200c9e417a10.reg");
}

// Root reads any file, so as root the tool runs as nobody, in nobody's folder.
TEST_F(RegistryTrust, RegisteringOverOnesOwnUnreadableRegistrationFailsWith70AndKeepsIt) {
  UseCopiesForAnyone();
  const fs::path registry = folder_ / "registry";
  fs::create_directories(registry);
  std::ofstream(registry / kCounterFile) << "kept\n";
  ::chmod(folder_.c_str(), 0755);
  ::chown(registry.c_str(), 65534, 65534);
  ::chown((registry / kCounterFile).c_str(), 65534, 65534);
  ::chmod((registry / kCounterFile).c_str(), 0222);
  const ToolRun run = Regsvr("--registry " + Quoted(registry) + " " + Quoted(folder_ / "tools" / "libcounter_server.so"),
                             AsAnotherUser());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("error 70: "), std::string::npos) << run.errors;
  ::chmod((registry / kCounterFile).c_str(), 0644);
  EXPECT_EQ(Slurp(registry / kCounterFile), "kept\n");
}

// When the older single file cannot be rewritten, -u changes nothing at all.
TEST_F(RegistryTrust, UnregisteringIsAllOrNothing) {
  UseCopiesForAnyone();
  const std::string library = (folder_ / "tools" / "libcounter_server.so").string();
  const fs::path config = folder_ / "config", com = config / "com", dropIn = com / "registry.d";
  ::chmod(folder_.c_str(), 0755);
  fs::create_directories(com);
  std::ofstream(com / "registry") << "# the older single file\n";
  RegisterCounterAs(com / "registry", library);
  RegisterCounterAs(dropIn, library);
  for (const fs::path& item : {config, com, dropIn, com / "registry", dropIn / kCounterFile}) {
    ::chown(item.c_str(), 65534, 65534);
  }
  ::chmod(com.c_str(), 0555);
  const std::string before = Slurp(com / "registry");
  const ToolRun run = Regsvr("-u --user " + Quoted(library), AsAnotherUser() + " env XDG_CONFIG_HOME=" + Quoted(config));
  ::chmod(com.c_str(), 0755);
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_TRUE(fs::exists(dropIn / kCounterFile));
  EXPECT_EQ(Slurp(com / "registry"), before);
}

// A library named without a folder is the file in the current folder, not
// one the loader would find beside the tool.
TEST_F(RegistryTrust, ABareLibraryNameIsTheFileInTheCurrentFolder) {
  UseCopiesForAnyone();
  const fs::path here = folder_ / "here", registry = folder_ / "registry";
  fs::create_directories(here);
  fs::copy_file(kCounter, here / "libcounter_server.so");
  const ToolRun run = Regsvr("--registry " + Quoted(registry) + " libcounter_server.so", "cd " + Quoted(here) + " &&");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Load(registry / kCounterFile).FindClass(counter::kCounterId)->library,
            (here / "libcounter_server.so").string());
}

TEST_F(RegistryTrust, AHiddenRegistrationIsNeverServed) {
  const fs::path registry = folder_ / "registry";
  RegisterCounterAs(folder_ / "hidden", "/hidden.so");
  fs::create_directories(registry);
  fs::rename(folder_ / "hidden" / kCounterFile, registry / ".hidden.reg");
  EXPECT_EQ(Probe("COM_REGISTRY=" + Quoted(registry), folder_), "none\n");
}

// Whichever order the folder lists its files in, the first by name answers.
TEST_F(RegistryTrust, WithinAFolderTheFirstFileByNameWins) {
  for (const bool firstMadeFirst : {true, false}) {
    const fs::path registry = folder_ / ("registry-" + std::to_string(firstMadeFirst));
    const std::string names[] = {firstMadeFirst ? "a.reg" : "b.reg", firstMadeFirst ? "b.reg" : "a.reg"};
    for (const std::string& name : names) {
      RegisterCounterAs(folder_ / "one", "/" + name + ".so");
      fs::create_directories(registry);
      fs::rename(folder_ / "one" / kCounterFile, registry / name);
    }
    EXPECT_EQ(Probe("COM_REGISTRY=" + Quoted(registry), folder_), "/a.reg.so\n") << firstMadeFirst;
  }
}

}  // namespace
