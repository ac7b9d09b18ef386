// Runs ostrel-regsvr as a program the way users run it, in a scratch folder,
// and records registries to show they were left as they were.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "com/registration_store.h"
#include "com/registry.h"
#include "tests/scratch_folder.h"

namespace registration {

namespace fs = std::filesystem;

inline const std::string kBin = OSTREL_BIN_DIR;
inline const std::string kCounter = kBin + "/libcounter_server.so";
inline const std::string kOstrel = kBin + "/libOstrel.so";
constexpr GUID kOtherLibraryId = {0x99, 0, 0, {}};
constexpr CLSID kOtherClassId = {0x98, 0, 0, {}};

struct ToolRun {
  int status;
  std::string out;
  std::string errors;
};

inline std::string Slurp(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

inline std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// A file's mode, link target and bytes.
inline std::string Record(const fs::path& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  std::string record = std::to_string(info.st_mode);
  if (fs::is_symlink(path)) return record + " -> " + fs::read_symlink(path).string();
  const mode_t mode = info.st_mode & 07777;
  ::chmod(path.c_str(), 0700);  // to look inside; put back below
  if (fs::is_regular_file(path)) record += " " + Slurp(path);
  ::chmod(path.c_str(), mode);
  return record;
}

// REGISTRY (a folder or a file) and whatever it holds.
inline std::map<std::string, std::string> Snapshot(const fs::path& registry) {
  std::map<std::string, std::string> files{{registry.string(), Record(registry)}};
  if (!fs::is_directory(registry)) return files;
  struct stat info {};
  ::stat(registry.c_str(), &info);
  ::chmod(registry.c_str(), 0700);
  for (const auto& item : fs::directory_iterator(registry)) files[item.path().string()] = Record(item.path());
  ::chmod(registry.c_str(), info.st_mode & 07777);
  return files;
}

class Registration : public ScratchFolder {
 protected:
  // Runs ostrel-regsvr with ARGUMENTS (already quoted) after PREFIX (variables, another user).
  ToolRun Regsvr(const std::string& arguments, const std::string& prefix = "") {
    const fs::path out = folder_ / "out.txt", err = folder_ / "err.txt";
    const std::string command =
        prefix + " " + Quoted(tool_) + " " + arguments + " >" + Quoted(out) + " 2>" + Quoted(err);
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
  }

  // Copies the tool and the libraries it needs where any user may run them:
  // the build tree may lie in a folder only its owner can enter.
  void UseCopiesForAnyone() {
    const fs::path copies = folder_ / "tools";
    fs::create_directories(copies);
    for (const auto& item : fs::directory_iterator(kBin)) {
      const std::string name = item.path().filename().string();
      if (name == "ostrel-regsvr" || name.starts_with("libostrel-com.so") || name == "libcounter_server.so") {
        fs::copy_file(item.path(), copies / name);
      }
    }
    tool_ = (copies / "ostrel-regsvr").string();
  }

  std::string tool_ = kBin + "/ostrel-regsvr";

  static ostrel::com::Registry Load(const fs::path& file) { return ostrel::com::Registry::Load(file.string()); }
  static fs::path FileOf(const fs::path& registry, const GUID& typeLibrary) {
    return registry / ostrel::com::RegistrationFileName(typeLibrary);
  }
  // An entry of some other library, already in REGISTRY before the test.
  static void RegisterOtherLibrary(const fs::path& registry) {
    ostrel::com::Registry other;
    other.Put(ostrel::com::TypeLibraryEntry{kOtherLibraryId, "Other", 2, 1, "/opt/other.so"});
    other.Put(ostrel::com::ClassEntry{kOtherClassId, "Other.Thing", "Apartment", kOtherLibraryId, "/opt/other.so"});
    ostrel::com::WriteRegistration(registry.string(), kOtherLibraryId, other);
  }
};

// Root reads everything, so a registry it "cannot read" is one that another
// user cannot: as root the tool runs as nobody.
inline std::string AsAnotherUser() { return ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : ""; }

}  // namespace registration
