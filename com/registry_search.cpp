#include "com/registry_search.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include <ostrel/com/runtime_error.h>

namespace ostrel::com {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string UserConfigFolder() {
  if (std::string config = Variable("XDG_CONFIG_HOME"); !config.empty()) return config;
  const std::string home = Variable("HOME");
  return (home.empty() ? "." : home) + "/.config";
}

std::string ApplicationRegistryFolder() {
  char program[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", program, sizeof program - 1);
  if (length <= 0) return {};
  return std::filesystem::path(std::string(program, static_cast<size_t>(length))).parent_path().string() +
         "/com-registry.d";
}

template <class Find>
auto LookUp(Find find) -> decltype(find(Registry())) {
  for (const std::string& registry : RegistrySearchPath()) {
    for (const std::string& file : RegistrationFiles(registry)) {
      try {
        if (auto entry = find(Registry::Load(file))) return entry;
      } catch (const RuntimeError&) {
        continue;  // unreadable: it serves nothing
      }
    }
  }
  return std::nullopt;
}

}  // namespace

std::string UserRegistryFolder() { return UserConfigFolder() + "/com/registry.d"; }

std::string OldUserRegistryFile() { return UserConfigFolder() + "/com/registry"; }

std::vector<std::string> SystemRegistryFolders() {
  const std::string standIn = Variable("COM_SYSTEM_REGISTRY_FOLDERS");
  if (standIn.empty()) return {"/etc/com/registry.d", "/usr/lib/com/registry.d"};
  std::vector<std::string> folders;
  for (size_t start = 0; start <= standIn.size();) {
    const size_t end = std::min(standIn.find(':', start), standIn.size());
    folders.push_back(standIn.substr(start, end - start));
    start = end + 1;
  }
  return folders;
}

std::string DefaultRegistry() {
  const std::string chosen = Variable("COM_REGISTRY");
  return chosen.empty() ? UserRegistryFolder() : chosen;
}

std::vector<std::string> RegistrySearchPath() {
  std::vector<std::string> path;
  if (std::string chosen = Variable("COM_REGISTRY"); !chosen.empty()) path.push_back(chosen);
  if (std::string local = ApplicationRegistryFolder(); !local.empty()) path.push_back(local);
  path.push_back(UserRegistryFolder());
  path.push_back(OldUserRegistryFile());
  for (std::string& folder : SystemRegistryFolders()) path.push_back(std::move(folder));
  return path;
}

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

std::optional<ClassEntry> LookUpClass(const CLSID& clsid) {
  return LookUp([&](const Registry& registry) { return registry.FindClass(clsid); });
}

std::optional<ClassEntry> LookUpProgId(std::string_view progId) {
  return LookUp([&](const Registry& registry) { return registry.FindProgId(progId); });
}

}  // namespace ostrel::com
