// Where registrations live, and the order in which they are consulted. The
// first registry that names a class wins:
//   1. $COM_REGISTRY, when set: a drop-in folder, or one file of entries. It
//      must be an absolute path; a relative one is refused (error 52), since
//      it would mean a different registry in every folder a program runs in;
//   2. com-registry.d/ beside the running program, then beside the component
//      runtime (libostrel-com) that the process loaded: a build tree or an
//      unpacked portable folder works with no registration step;
//   3. the user's drop-in folder, $XDG_CONFIG_HOME/com/registry.d/ (a
//      relative XDG_CONFIG_HOME is ignored), else ~/.config/com/registry.d/
//      with the home folder from HOME when absolute, else from the password
//      database; then the user's single file of older versions, .../com/registry;
//   4. com/registry.d/ in the runtime's own folder: the registrations of the
//      prefix the runtime is installed under (<prefix>/lib/com/registry.d),
//      so any prefix works, and keeps working when moved whole;
//   5. the system's folders: /etc/com/registry.d/ (an administrator's
//      registrations), then /usr/lib/com/registry.d/ (files shipped in
//      packages).
// Every folder is absolute: nothing depends on the current folder. A drop-in
// folder holds one file per type library, "<libid>.reg", read in the order of
// their names; hidden files are passed over. A registration that cannot be
// read (registry.h) is passed over too: it cannot serve a class either way,
// and a lookup that finds nothing names the first one passed over.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/registry.h"

namespace ostrel::com {

// When nothing answers and PASSED_OVER is given, it receives why the first
// registration passed over could not be read (empty when none was).
std::optional<ClassEntry> LookUpClass(const CLSID& clsid, std::string* passedOver = nullptr);
std::optional<ClassEntry> LookUpProgId(std::string_view progId, std::string* passedOver = nullptr);

// The user's folders; empty when the user has no absolute home folder.
std::string UserRegistryFolder();
std::string OldUserRegistryFile();
// /etc/com/registry.d and /usr/lib/com/registry.d. For tests only,
// COM_SYSTEM_REGISTRY_FOLDERS (absolute folders separated by ':') stands in
// for them.
std::vector<std::string> SystemRegistryFolders();
// Where a registration goes when the caller names no registry:
// $COM_REGISTRY when set, else the user's drop-in folder. Raises when
// COM_REGISTRY is relative or there is no home folder.
std::string DefaultRegistry();

// The registration files of one registry, in the order they are read: the
// "*.reg" files of a folder sorted by name, or the file itself.
std::vector<std::string> RegistrationFiles(const std::string& registry);

}  // namespace ostrel::com
