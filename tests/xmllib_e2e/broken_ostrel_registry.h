// A registry whose registration of Ostrel names a library that is not
// there. Put first in the lookup order (COM_REGISTRY), it hides the working
// registration beside the programs, so creating Ostrel's classes fails as it
// does for a user who never registered Ostrel.
#pragma once

#include <filesystem>

#include "com/registration_store.h"
#include "com/registry.h"
#include <ostrel/ostrel.h>

namespace ostrel_test {

inline void WriteBrokenOstrelRegistry(const std::filesystem::path& folder) {
  ostrel::com::Registry entries;
  for (const CLSID& clsid : {ostrel::kCXmlReaderId, ostrel::kCXmlWriterId, ostrel::kIXmlHandlerId}) {
    entries.Put(ostrel::com::ClassEntry{clsid, "", "Apartment", ostrel::kTypeLibraryId, "gone/libOstrel.so.1"});
  }
  ostrel::com::WriteRegistration(folder.string(), ostrel::kTypeLibraryId, entries);
}

}  // namespace ostrel_test
