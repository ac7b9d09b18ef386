#include "com/registry_search.h"

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <ostrel/com/com_runtime.h>
#include <ostrel/com/runtime_error.h>
#include "runtime/unicode.h"

namespace ostrel::com {
namespace {

bool IsAbsolute(const std::string& path) { return path.starts_with('/'); }

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// HOME when it is an absolute folder, else the password database's entry.
std::string HomeFolder() {
  if (std::string home = Variable("HOME"); IsAbsolute(home)) return home;
  struct passwd entry {};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
  const std::string home = found->pw_dir ? found->pw_dir : "";
  return IsAbsolute(home) ? home : "";
}

std::string UserConfigFolder() {
  if (std::string config = Variable("XDG_CONFIG_HOME"); IsAbsolute(config)) return config;
  const std::string home = HomeFolder();
  return home.empty() ? "" : home + "/.config";
}

// The canonical folder of FILE, when FILE is absolute; else nothing.
std::string FolderOfAbsolute(const char* file) {
  char resolved[PATH_MAX];
  if (!file || file[0] != '/' || !::realpath(file, resolved)) return {};
  return std::filesystem::path(resolved).parent_path().string();
}

const std::string& ProgramFolder() {
  static const std::string folder = FolderOfAbsolute("/proc/self/exe");
  return folder;
}

// Where libostrel-com was loaded from. The search is also linked into
// ostrel-regsvr and the tests, so it asks about one of the library's exported
// functions, not about itself.
const std::string& RuntimeFolder() {
  static const std::string folder = [] {
    Dl_info info{};
    return ::dladdr(reinterpret_cast<const void*>(&CoCreateInstance), &info) ? FolderOfAbsolute(info.dli_fname)
                                                                             : std::string();
  }();
  return folder;
}

// COM_REGISTRY: empty when unset.
std::string ChosenRegistry() {
  std::string chosen = Variable("COM_REGISTRY");
  if (!chosen.empty() && !IsAbsolute(chosen)) {
    Raise(errnum::kBadFileName, u"COM_REGISTRY は絶対パスで指定してください: " + FromUtf8(chosen));
  }
  return chosen;
}

}  // namespace

std::string UserRegistryFolder() {
  const std::string config = UserConfigFolder();
  return config.empty() ? "" : config + "/com/registry.d";
}

std::string OldUserRegistryFile() {
  const std::string config = UserConfigFolder();
  return config.empty() ? "" : config + "/com/registry";
}

std::vector<std::string> SystemRegistryFolders() {
  std::vector<std::string> folders;
  const std::string standIn = Variable("COM_SYSTEM_REGISTRY_FOLDERS");
  for (size_t start = 0; start <= standIn.size();) {
    const size_t end = std::min(standIn.find(':', start), standIn.size());
    if (std::string folder = standIn.substr(start, end - start); IsAbsolute(folder)) folders.push_back(folder);
    start = end + 1;
  }
  if (folders.empty()) return {"/etc/com/registry.d", "/usr/lib/com/registry.d"};
  return folders;
}

std::string DefaultRegistry() {
  if (std::string chosen = ChosenRegistry(); !chosen.empty()) return chosen;
  std::string user = UserRegistryFolder();
  if (user.empty()) Raise(errnum::kPathNotFound, u"ユーザーのホームフォルダーがわかりません (HOME)");
  return user;
}

namespace {

// The registries of each place in the search, in order. A place is worked
// out only when those before it did not answer: finding the program's and
// the runtime's folders and the user's costs system calls that a lookup
// answered by COM_REGISTRY does not need.
using Registries = std::vector<std::string>;

// NAME in FOLDER; nothing when FOLDER is not known.
Registries Inside(const std::string& folder, const char* name) {
  if (folder.empty()) return {};
  return {folder + name};
}

Registries Chosen() { return {ChosenRegistry()}; }
Registries BesideProgram() { return Inside(ProgramFolder(), "/com-registry.d"); }
Registries BesideRuntime() { return Inside(RuntimeFolder(), "/com-registry.d"); }
Registries User() { return {UserRegistryFolder(), OldUserRegistryFile()}; }
Registries RuntimePrefix() { return Inside(RuntimeFolder(), "/com/registry.d"); }

constexpr Registries (*kPlaces[])() = {Chosen, BesideProgram, BesideRuntime, User, RuntimePrefix, SystemRegistryFolders};

// Calls VISIT with each registry in the order of the search, once each
// however many places name it, until VISIT returns true.
template <class Visit>
void VisitRegistries(Visit visit) {
  Registries seen;
  for (const auto place : kPlaces) {
    for (const std::string& registry : place()) {
      if (registry.empty() || std::ranges::find(seen, registry) != seen.end()) continue;
      seen.push_back(registry);
      if (visit(registry)) return;
    }
  }
}

template <class Find>
auto LookUp(Find find, std::string* passedOver) -> decltype(find(Registry())) {
  decltype(find(Registry())) found;
  VisitRegistries([&](const std::string& registry) {
    for (const std::string& file : RegistrationFiles(registry)) {
      try {
        if ((found = find(Registry::Load(file)))) return true;
      } catch (const RuntimeError& error) {
        // Unreadable: it serves nothing, but may be why nothing answers.
        if (passedOver && passedOver->empty()) *passedOver = ToUtf8(error.description());
      }
    }
    return false;
  });
  return found;
}

}  // namespace

std::vector<std::string> RegistrationFiles(const std::string& registry) {
  std::error_code error;
  if (!std::filesystem::is_directory(registry, error)) {
    return std::filesystem::exists(registry, error) ? std::vector<std::string>{registry} : std::vector<std::string>{};
  }
  std::vector<std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(registry, error)) {
    if (item.path().extension() == ".reg" && !item.path().filename().string().starts_with(".")) {
      files.push_back(item.path().string());
    }
  }
  std::ranges::sort(files);
  return files;
}

std::optional<ClassEntry> LookUpClass(const CLSID& clsid, std::string* passedOver) {
  return LookUp([&](const Registry& registry) { return registry.FindClass(clsid); }, passedOver);
}

std::optional<ClassEntry> LookUpProgId(std::string_view progId, std::string* passedOver) {
  return LookUp([&](const Registry& registry) { return registry.FindProgId(progId); }, passedOver);
}

}  // namespace ostrel::com
