// The resolver's in-process server: its class object, the four exports, and
// the registry entries that make the resolver "installed".
#include <atomic>
#include <cstring>

#include <windows.h>

#include "resolver_object.h"
#include "server_locks.h"

namespace resolver {
namespace {

std::atomic<long> g_locks{0};

constexpr int kClsidTextSize = 39;      // "{...}" and its terminator
constexpr DWORD kKeyNameSize = 64;      // "CLSID\\{...}\\InprocServer32"
constexpr const char* kClassName = "Platform Path Resolver";
constexpr const char* kThreadingModel = "Both";

class ClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is static: its references only keep the module loaded.
  ULONG STDMETHODCALLTYPE AddRef() override {
    resolver::LockServer();
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    resolver::UnlockServer();
    return 1;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateResolver(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      resolver::LockServer();
    } else {
      resolver::UnlockServer();
    }
    return S_OK;
  }
};

ClassFactory g_factory;

// "CLSID\\{641B5205-...}" into key, of kKeyNameSize bytes.
void ClassKeyName(char (&key)[kKeyNameSize]) {
  OLECHAR wide[kClsidTextSize] = {};
  StringFromGUID2(CLSID_PlatformPathResolver, wide, kClsidTextSize);
  const char prefix[] = "CLSID\\";
  DWORD at = 0;
  for (const char* p = prefix; *p != '\0'; ++p) key[at++] = *p;
  for (int i = 0; wide[i] != 0 && at + 1 < kKeyNameSize; ++i) key[at++] = static_cast<char>(wide[i]);
  key[at] = '\0';
}

bool SetString(HKEY key, const char* name, const char* value) {
  DWORD size = static_cast<DWORD>(std::strlen(value) + 1);
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), size) == ERROR_SUCCESS;
}

// This module's own file, as the registry names it.
bool ModulePath(char (&path)[MAX_PATH]) {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&g_factory), &self)) {
    return false;
  }
  DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  return length > 0 && length < MAX_PATH;
}

HRESULT WriteClassKeys() {
  char path[MAX_PATH];
  if (!ModulePath(path)) return SELFREG_E_CLASS;
  char classKey[kKeyNameSize];
  ClassKeyName(classKey);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, classKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return SELFREG_E_CLASS;
  }
  bool written = SetString(key, nullptr, kClassName);
  HKEY server = nullptr;
  if (written && RegCreateKeyExA(key, "InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &server, nullptr) == ERROR_SUCCESS) {
    written = SetString(server, nullptr, path) && SetString(server, "ThreadingModel", kThreadingModel);
    RegCloseKey(server);
  } else {
    written = false;
  }
  RegCloseKey(key);
  return written ? S_OK : SELFREG_E_CLASS;
}

}  // namespace

void LockServer() { ++g_locks; }
void UnlockServer() { --g_locks; }
bool ServerIsLocked() { return g_locks.load() != 0; }

}  // namespace resolver

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, CLSID_PlatformPathResolver)) return CLASS_E_CLASSNOTAVAILABLE;
  return resolver::g_factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() { return resolver::ServerIsLocked() ? S_FALSE : S_OK; }

STDAPI DllUnregisterServer();

STDAPI DllRegisterServer() {
  HRESULT hr = resolver::WriteClassKeys();
  if (FAILED(hr)) DllUnregisterServer();
  return hr;
}

// Removes the class's key with everything below it; a resolver that is not
// registered unregisters without error.
STDAPI DllUnregisterServer() {
  char classKey[resolver::kKeyNameSize];
  resolver::ClassKeyName(classKey);
  LSTATUS status = RegDeleteTreeA(HKEY_CLASSES_ROOT, classKey);
  if (status == ERROR_SUCCESS) status = RegDeleteKeyA(HKEY_CLASSES_ROOT, classKey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
