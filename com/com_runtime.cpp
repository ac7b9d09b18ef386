#include <ostrel/com/com_runtime.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>

#include "com/registry_search.h"
#include <ostrel/com/runtime_error.h>
#include "runtime/unicode.h"

namespace ostrel::com {
namespace {

struct LoadedLibrary {
  void* handle;
  DllGetClassObjectFn getClassObject;
  DllCanUnloadNowFn canUnloadNow;
};

// Libraries stay loaded until CoFreeUnusedLibraries finds them unused.
std::map<std::string, LoadedLibrary>& LoadedLibraries() {
  static std::map<std::string, LoadedLibrary> libraries;
  return libraries;
}

[[noreturn]] void CannotCreate(const CLSID& clsid, const std::string& reason) {
  Raise(errnum::kCannotCreateObject,
        u"クラス " + FromUtf8(GuidToString(clsid)) + u" のオブジェクトを作成できません: " + FromUtf8(reason));
}

// What a failed lookup adds: why a registration that might have answered
// was passed over.
std::string PassedOverNote(const std::string& passedOver) {
  return passedOver.empty() ? "" : " (読めない登録: " + passedOver + ")";
}

// The loader would block on a FIFO or read a device: only a regular file
// (through links) goes to it.
void CheckRegularFile(const CLSID& clsid, const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    CannotCreate(clsid, "ライブラリ " + path + " を読み込めません (" + std::strerror(errno) + ")");
  }
  if (!S_ISREG(info.st_mode)) CannotCreate(clsid, "ライブラリ " + path + " は通常のファイルではありません");
}

const LoadedLibrary& Load(const CLSID& clsid, const std::string& path) {
  auto& libraries = LoadedLibraries();
  if (auto found = libraries.find(path); found != libraries.end()) return found->second;
  CheckRegularFile(clsid, path);
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) CannotCreate(clsid, "ライブラリ " + path + " を読み込めません (" + std::string(dlerror()) + ")");
  auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
  auto canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
  if (!getClassObject) {
    dlclose(handle);
    CannotCreate(clsid, path + " に DllGetClassObject がありません");
  }
  return libraries.emplace(path, LoadedLibrary{handle, getClassObject, canUnloadNow}).first->second;
}

void Create(const CLSID& clsid, const IID& iid, void** object) {
  std::string passedOver;
  const auto entry = LookUpClass(clsid, &passedOver);
  if (!entry) CannotCreate(clsid, "登録されていません" + PassedOverNote(passedOver));
  const LoadedLibrary& library = Load(clsid, entry->library);
  ComPtr<IClassFactory> factory;
  if (Failed(library.getClassObject(clsid, IClassFactory::iid, factory.ReceiveVoid())) || !factory) {
    CannotCreate(clsid, entry->library + " がクラスを提供していません");
  }
  const HRESULT status = factory->CreateInstance(nullptr, iid, object);
  if (status == E_NOINTERFACE) Raise(errnum::kNoSuchInterface);
  if (Failed(status)) CannotCreate(clsid, "ファクトリが作成を拒否しました");
}

}  // namespace

HRESULT CoCreateInstance(const CLSID& clsid, const IID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  return Guard([&] { Create(clsid, iid, object); });
}

HRESULT CLSIDFromProgID(std::u16string_view progId, CLSID* clsid) {
  return Guard([&] {
    std::string passedOver;
    const auto entry = LookUpProgId(ToUtf8(progId), &passedOver);
    if (!entry) {
      Raise(errnum::kCannotCreateObject,
            u"ProgID " + std::u16string(progId) + u" は登録されていません。" + FromUtf8(PassedOverNote(passedOver)));
    }
    *clsid = entry->clsid;
  });
}

void CoFreeUnusedLibraries() {
  auto& libraries = LoadedLibraries();
  for (auto it = libraries.begin(); it != libraries.end();) {
    if (it->second.canUnloadNow && it->second.canUnloadNow() == S_OK) {
      dlclose(it->second.handle);
      it = libraries.erase(it);
    } else {
      ++it;
    }
  }
}

ComPtr<IDispatch> CreateObject(std::u16string_view progId) {
  CLSID clsid;
  Check(CLSIDFromProgID(progId, &clsid));
  return CreateObject<IDispatch>(clsid);
}

VARIANT CallByName(IDispatch* object, std::u16string_view name, VARIANT* arguments, uint32_t count) {
  if (!object) Raise(errnum::kObjectNotSet);
  const std::u16string member(name);
  const char16_t* names[] = {member.c_str()};
  int32_t id = DISPID_UNKNOWN;
  Check(object->GetIDsOfNames(names, 1, &id));
  DISPPARAMS params{arguments, count};
  VARIANT result;
  VariantInit(&result);
  Check(object->Invoke(id, &params, &result));
  return result;
}

}  // namespace ostrel::com
