#include "platform/server.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/error_info.h"
#include "platform/registry.h"
#include "platform/runtime_error.h"

namespace ostrel::com {
namespace {

std::string LibraryFile(const void* addressInLibrary) {
  Dl_info info{};
  if (!dladdr(addressInLibrary, &info) || !info.dli_fname) Raise(errnum::kFileNotFound);
  char resolved[PATH_MAX];
  return realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
}

void Forget(Registry& registry, const ServerDescription& server, const std::string& library) {
  registry.RemoveLibrary(library);
  for (const auto& serverClass : server.classes) {
    // Entries of the same classes left by an older copy of the library.
    if (auto stale = registry.FindClass(serverClass.clsid)) registry.RemoveLibrary(stale->library);
  }
}

}  // namespace

HRESULT RegisterServer(const ServerDescription& server, const void* addressInLibrary) {
  return Guard([&] {
    const std::string library = LibraryFile(addressInLibrary);
    const std::string path = RegistryPath();
    Registry registry = Registry::Load(path);
    Forget(registry, server, library);
    registry.Put(TypeLibraryEntry{server.typeLibrary, server.projectName, server.major, server.minor, library});
    for (const auto& serverClass : server.classes) {
      registry.Put(ClassEntry{serverClass.clsid, std::string(server.projectName) + "." + serverClass.name,
                              server.threadingModel, server.typeLibrary, library});
    }
    registry.Save(path);
  });
}

HRESULT UnregisterServer(const ServerDescription& server, const void* addressInLibrary) {
  return Guard([&] {
    const std::string path = RegistryPath();
    Registry registry = Registry::Load(path);
    Forget(registry, server, LibraryFile(addressInLibrary));
    registry.Save(path);
  });
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
