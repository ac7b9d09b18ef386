// Writing and removing the registration of one type library in a registry.
//
// In a drop-in folder (the usual case, created when missing) the
// registration is a file of its own, "<libid>.reg", so registering one
// library never rewrites another's entries and two registrations at once
// cannot lose each other's. A registry that is a single file of entries (the
// older form) is rewritten whole under a lock on its folder, keeping the
// entries of other libraries and every comment where it stands; an existing
// file that holds anything but entries and comments is no registry and is
// refused (75). Either way a registry that cannot be read or written raises a
// file error naming it and is left as it was. In a folder others may write,
// links are not followed and no file of another user's is reused
// (replace_file.h).
#pragma once

#include <string>

#include "com/registry.h"

namespace ostrel::com {

// ENTRIES holds the type library TYPE_LIBRARY and its classes only.
void WriteRegistration(const std::string& registry, const GUID& typeLibrary, const Registry& entries);

// Removes the type library, its classes and other entries of those classes.
// Tells whether there was anything to remove.
bool RemoveRegistration(const std::string& registry, const GUID& typeLibrary, const std::vector<CLSID>& classes);

// "<libid in lower case, without braces>.reg"
std::string RegistrationFileName(const GUID& typeLibrary);

}  // namespace ostrel::com
