// ostrel-regsvr: registers an in-process server with the component registry
// by calling its DllRegisterServer (or, with -u, removes the registration
// through DllUnregisterServer). Where the registration goes is handed to the
// library's runtime before the call (ComSetRegistrationOptions, server.h).
#include <dlfcn.h>

#include <cstdio>
#include <iostream>
#include <string>

#include <ostrel/com/com.h>
#include <ostrel/com/error_info.h>
#include "com/registry_search.h"
#include <ostrel/com/server.h>
#include "runtime/unicode.h"
#include "tools/tool_main.h"

namespace {

constexpr std::string_view kHelp =
    R"(Usage: ostrel-regsvr [--user | --system | --registry DIR] [--library-path PATH] [-u] [--] LIBRARY
Register the classes of the in-process component library LIBRARY, so that
clients create them by class identifier; with -u, remove the registration.

Each library's registration is a file of its own, "<libid>.reg", in a
registry folder. Programs look a class up in $COM_REGISTRY when it is set
(an absolute path), then in com-registry.d/ beside the running program and
beside the component runtime, then in the user's folder (then the single
registry file of older versions), then in com/registry.d/ beside the
runtime (the registrations of the prefix it is installed under), then in
/etc/com/registry.d/ and /usr/lib/com/registry.d/; the first match wins.

Options:
  --user               write into the user's folder,
                       ${XDG_CONFIG_HOME:-~/.config}/com/registry.d (the
                       default, unless COM_REGISTRY names a registry)
  --system             write into /etc/com/registry.d
  --registry DIR       write into DIR (created when missing)
  --library-path PATH  record PATH as the library's file instead of
                       LIBRARY's absolute path; a relative PATH is taken
                       from the registry folder
  -u                   unregister; from the user's folder, also remove the
                       library's entries from the older single file
  --help               print this help and exit
  --version            print the version and exit

A library path holding a control character is refused, and so is a
registry that is an existing file of something else.

Exit status:
  0 on success (with -u, also when the registry did not hold the library:
  the tool says so), 1 when the library or the registry cannot be read or
  written (nothing is changed then), 2 on a usage error, 3 when standard
  output cannot be written (a full disk, a closed descriptor, a reader that
  went away); the registration is made or removed all the same.
)";

constexpr tools::Option kOptions[] = {
    {"--user", false}, {"--system", false}, {"--registry", true}, {"--library-path", true}, {"-u", false}};

constexpr tools::ToolDescription kTool{"ostrel-regsvr", kHelp, kOptions, 1};

// The registry the options name; empty when they name none.
std::optional<std::string> ChosenRegistry(const tools::CommandLine& line) {
  if (line.Has("--system")) return ostrel::com::SystemRegistryFolders().front();
  if (line.Has("--user")) return ostrel::com::UserRegistryFolder();
  return line.Value("--registry");
}

// A library named without a folder is the file in the current folder, as for
// any other file argument, not one the dynamic loader searches for.
std::string LibraryFile(const std::string& operand) {
  return operand.find('/') == std::string::npos ? "./" + operand : operand;
}

void* Fail(const char* format, const std::string& argument, const char* detail) {
  std::fprintf(stderr, format, argument.c_str(), detail);
  return nullptr;
}

// Loads LIBRARY and hands its runtime the registry and library path to use.
void* Prepare(const std::string& library, const std::string& registry, const std::string& libraryPath) {
  void* handle = dlopen(LibraryFile(library).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return Fail("ostrel-regsvr: %s: %s\n", library, dlerror());
  auto setOptions = reinterpret_cast<decltype(&ComSetRegistrationOptions)>(dlsym(handle, "ComSetRegistrationOptions"));
  if (!setOptions) return Fail("ostrel-regsvr: %s: %s\n", library, "no component runtime of Ostrel to register with");
  setOptions(registry.c_str(), libraryPath.c_str());
  return handle;
}

int Report(const std::string& prefix, const ostrel::com::RuntimeError& error) {
  std::fprintf(stderr, "ostrel-regsvr: %serror %d: %s\n", prefix.c_str(), error.number(),
               ostrel::com::ToUtf8(error.description()).c_str());
  return 1;
}

int CallEntryPoint(void* handle, const std::string& library, const std::string& registry, bool unregister) {
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto function = reinterpret_cast<DllRegisterServerFn>(dlsym(handle, entry));
  if (!function) {
    std::fprintf(stderr, "ostrel-regsvr: %s has no %s\n", library.c_str(), entry);
    return 1;
  }
  const HRESULT status = function();
  if (Failed(status)) return Report(library + ": ", ostrel::com::ErrorFromStatus(status));
  const char* done = !unregister ? "registered in" : status == S_FALSE ? "was not registered in" : "unregistered in";
  std::cout << library << ": " << done << ' ' << registry << '\n';
  return 0;
}

int Register(const tools::CommandLine& line) {
  if (line.Has("--user") + line.Has("--system") + line.Has("--registry") > 1) {
    return line.UsageError("choose one of --user, --system and --registry");
  }
  const std::string& library = line.operands().front();
  std::string registry;
  try {
    const auto chosen = ChosenRegistry(line);
    registry = chosen ? *chosen : ostrel::com::DefaultRegistry();
  } catch (const ostrel::com::RuntimeError& error) {
    return Report("", error);
  }
  if (registry.empty()) {  // --user with no home folder
    std::fprintf(stderr, "ostrel-regsvr: the user has no home folder to hold a registry\n");
    return 1;
  }
  void* handle = Prepare(library, registry, line.Value("--library-path").value_or(""));
  return handle ? CallEntryPoint(handle, library, registry, line.Has("-u")) : 1;
}

}  // namespace

int main(int argc, char** argv) { return tools::RunTool(kTool, argc, argv, Register); }
