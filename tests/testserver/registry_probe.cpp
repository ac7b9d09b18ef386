// registry_probe CLSID: prints the library file the component registry names
// for CLSID, or "none". The lookup-order tests copy it into folders of their
// own, since where a program lies decides its application-local registry.
#include <cstdio>

#include "com/registry_search.h"

int main(int argc, char** argv) {
  CLSID clsid{};
  if (argc != 2 || !GuidFromString(argv[1], &clsid)) return 2;
  const auto entry = ostrel::com::LookUpClass(clsid);
  std::puts(entry ? entry->library.c_str() : "none");
  return 0;
}
