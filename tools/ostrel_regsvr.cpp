// ostrel-regsvr [-u] LIBRARY: registers an in-process server with the component
// registry by calling its DllRegisterServer (or, with -u, removes it again
// through DllUnregisterServer).
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "platform/com.h"
#include "platform/error_info.h"
#include "platform/registry.h"
#include "platform/unicode.h"

int main(int argc, char** argv) {
  const bool unregister = argc == 3 && std::strcmp(argv[1], "-u") == 0;
  if (argc != 2 && !unregister) {
    std::fprintf(stderr, "usage: ostrel-regsvr [-u] LIBRARY\n");
    return 2;
  }
  const char* library = argv[argc - 1];
  void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::fprintf(stderr, "ostrel-regsvr: %s\n", dlerror());
    return 1;
  }
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto function = reinterpret_cast<DllRegisterServerFn>(dlsym(handle, entry));
  if (!function) {
    std::fprintf(stderr, "ostrel-regsvr: %s has no %s\n", library, entry);
    return 1;
  }
  const HRESULT status = function();
  if (Failed(status)) {
    const ostrel::com::RuntimeError error = ostrel::com::ErrorFromStatus(status);
    std::fprintf(stderr, "ostrel-regsvr: %s: error %d: %s\n", entry, error.number(),
                 ostrel::com::ToUtf8(error.description()).c_str());
    return 1;
  }
  std::printf("%s: %s in %s\n", library, unregister ? "unregistered" : "registered", ostrel::com::RegistryPath().c_str());
  return 0;
}
