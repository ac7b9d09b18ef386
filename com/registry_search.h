// Where registrations live, and the order in which they are consulted. The
// first registry that names a class wins:
//   1. $COM_REGISTRY, when set: a drop-in folder, or one file of entries;
//   2. com-registry.d/ in the folder of the running program, so a build tree
//      or an unpacked folder works with no registration step;
//   3. the user's drop-in folder, ${XDG_CONFIG_HOME:-~/.config}/com/registry.d/,
//      then the user's single file of older versions, .../com/registry;
//   4. the system's folders: /etc/com/registry.d/ (an administrator's
//      registrations), then /usr/lib/com/registry.d/ (files shipped in
//      packages).
// A drop-in folder holds one file per type library, "<libid>.reg", read in
// the order of their names. A registration that cannot be read is passed
// over: it cannot serve a class either way.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/registry.h"

namespace ostrel::com {

std::vector<std::string> RegistrySearchPath();

std::optional<ClassEntry> LookUpClass(const CLSID& clsid);
std::optional<ClassEntry> LookUpProgId(std::string_view progId);

std::string UserRegistryFolder();
std::string OldUserRegistryFile();
// /etc/com/registry.d and /usr/lib/com/registry.d. For tests only,
// COM_SYSTEM_REGISTRY_FOLDERS (folders separated by ':') stands in for them.
std::vector<std::string> SystemRegistryFolders();
// Where a registration goes when the caller names no registry:
// $COM_REGISTRY when set, else the user's drop-in folder.
std::string DefaultRegistry();

// The registration files of one registry, in the order they are read: the
// "*.reg" files of a folder, or the file itself.
std::vector<std::string> RegistrationFiles(const std::string& registry);

}  // namespace ostrel::com
