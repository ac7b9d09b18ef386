// registry_probe CLSID: prints the library file the component registry names
// for CLSID, "none", or the error that stopped the lookup ("error N: text",
// status 1). The lookup-order tests copy it into folders of their own, since
// where a program lies decides its application-local registry.
#include <cstdio>

#include <ostrel/com/runtime_error.h>
#include "com/registry_search.h"
#include "runtime/unicode.h"

int main(int argc, char** argv) {
  CLSID clsid{};
  if (argc != 2 || !GuidFromString(argv[1], &clsid)) return 2;
  try {
    const auto entry = ostrel::com::LookUpClass(clsid);
    std::puts(entry ? entry->library.c_str() : "none");
    return 0;
  } catch (const ostrel::com::RuntimeError& error) {
    std::printf("error %d: %s\n", error.number(), ostrel::com::ToUtf8(error.description()).c_str());
    return 1;
  }
}
