// Writing an in-process server: the description of a library's classes,
// what its DllRegisterServer and DllUnregisterServer hand to the runtime, and
// COM_SERVER_ENTRY_POINTS, which defines its four exported entry points.
#pragma once

#include <cstdint>
#include <span>

#include "com.h"
#include "com_object.h"
#include "export.h"

namespace ostrel::com {

struct ServerClass {
  const char* name;  // the ProgID is the project name, a dot, this name
  CLSID clsid;
  IID defaultInterface;
  HRESULT (*getClassFactory)(const IID& iid, void** factory);  // e.g. CreateComObject<ClassFactory<T>>
};

struct ServerDescription {
  const char* projectName;
  const char* description;
  GUID typeLibrary;
  uint16_t major;
  uint16_t minor;
  std::span<const ServerClass> classes;
  const char* threadingModel;
};

// ADDRESS_IN_LIBRARY is any address inside the library being registered; the
// runtime finds the library's file from it. Failures come back as a failed
// status with this thread's error info. Unregistering from the user's folder
// also takes the library's entries out of the user's single file of older
// versions, so that they no longer answer for it. UnregisterServer returns
// S_FALSE when the registry held nothing of the library.
OSTREL_COM_API HRESULT RegisterServer(const ServerDescription& server, const void* addressInLibrary);
OSTREL_COM_API HRESULT UnregisterServer(const ServerDescription& server, const void* addressInLibrary);

// The class factory of one of the server's classes.
OSTREL_COM_API HRESULT GetClassObject(const ServerDescription& server, const CLSID& clsid, const IID& iid, void** factory);

}  // namespace ostrel::com

// Sets where RegisterServer and UnregisterServer of this process write
// (REGISTRY) and the library path they record (LIBRARY_PATH; a relative one
// is taken from the registry's folder when read). Null or empty keeps the
// default: $COM_REGISTRY when set, else the user's drop-in folder, and the
// library's own absolute path.
// ostrel-regsvr finds this through the library it registers, so that it
// reaches the copy of the runtime that library uses.
extern "C" OSTREL_COM_API void ComSetRegistrationOptions(const char* registry, const char* libraryPath);

// Defines the four exported entry points of an in-process server from its
// description (a ServerDescription with static storage). Use it once, at
// namespace scope, in the library's own source.
#define COM_SERVER_ENTRY_POINTS(server)                                                                  \
  extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() {                        \
    return ostrel::com::RegisterServer(server, &server);                                                    \
  }                                                                                                      \
  extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() {                      \
    return ostrel::com::UnregisterServer(server, &server);                                                  \
  }                                                                                                      \
  extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {                          \
    return ostrel::com::LocalServer().CanUnload() ? S_OK : S_FALSE;                                         \
  }                                                                                                      \
  extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(const CLSID& clsid,        \
                                                                              const IID& iid, void** f) { \
    return ostrel::com::GetClassObject(server, clsid, iid, f);                                              \
  }
