#include <ostrel/com/server.h>

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include <ostrel/com/error_info.h>
#include "com/registration_store.h"
#include "com/registry_search.h"
#include <ostrel/com/runtime_error.h>

namespace ostrel::com {
namespace {

std::string LibraryFile(const void* addressInLibrary) {
  Dl_info info{};
  if (!dladdr(addressInLibrary, &info) || !info.dli_fname) Raise(errnum::kFileNotFound);
  char resolved[PATH_MAX];
  return realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
}

struct RegistrationOptions {
  std::string registry;
  std::string libraryPath;
};

RegistrationOptions& Options() {
  static RegistrationOptions options;
  return options;
}

Registry EntriesOf(const ServerDescription& server, const std::string& library) {
  Registry entries;
  entries.Put(TypeLibraryEntry{server.typeLibrary, server.projectName, server.major, server.minor, library});
  for (const auto& serverClass : server.classes) {
    entries.Put(ClassEntry{serverClass.clsid, std::string(server.projectName) + "." + serverClass.name,
                           server.threadingModel, server.typeLibrary, library});
  }
  return entries;
}

std::vector<CLSID> ClassesOf(const ServerDescription& server) {
  std::vector<CLSID> classes;
  for (const auto& serverClass : server.classes) classes.push_back(serverClass.clsid);
  return classes;
}

// The registry set by ComSetRegistrationOptions, else the default one.
std::string RegistrationTarget() {
  return Options().registry.empty() ? DefaultRegistry() : Options().registry;
}

}  // namespace

HRESULT RegisterServer(const ServerDescription& server, const void* addressInLibrary) {
  return Guard([&] {
    const std::string& recorded = Options().libraryPath;
    const std::string library = recorded.empty() ? LibraryFile(addressInLibrary) : recorded;
    WriteRegistration(RegistrationTarget(), server.typeLibrary, EntriesOf(server, library));
  });
}

HRESULT UnregisterServer(const ServerDescription& server, const void*) {
  bool removed = false;
  const HRESULT status = Guard([&] {
    const std::string registry = RegistrationTarget();
    const std::vector<CLSID> classes = ClassesOf(server);
    if (registry == UserRegistryFolder()) {
      // The older file first: when it cannot be changed, the folder is left
      // as it was too, and nothing has changed.
      removed = RemoveRegistration(OldUserRegistryFile(), server.typeLibrary, classes);
    }
    removed = RemoveRegistration(registry, server.typeLibrary, classes) || removed;
  });
  return Failed(status) || removed ? status : S_FALSE;
}

HRESULT GetClassObject(const ServerDescription& server, const CLSID& clsid, const IID& iid, void** factory) {
  if (!factory) return E_POINTER;
  *factory = nullptr;
  for (const auto& serverClass : server.classes) {
    if (serverClass.clsid == clsid) return serverClass.getClassFactory(iid, factory);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace ostrel::com

void ComSetRegistrationOptions(const char* registry, const char* libraryPath) {
  ostrel::com::Options() = {registry ? registry : "", libraryPath ? libraryPath : ""};
}
