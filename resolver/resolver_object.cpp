// The resolver object: stateless, so every call reads the registry anew and
// an override takes effect without restarting anything.
#include "resolver_object.h"

#include <atomic>
#include <new>
#include <string>

#include <windows.h>

#include "PlatformSettings.h"
#include "server_locks.h"

namespace resolver {
namespace {

using OleString = std::basic_string<OLECHAR>;

// Longest common directory taken from the registry, in UTF-16 units.
constexpr DWORD kDirectoryCapacity = 1024;

OleString Widen(const char* text) {
  OleString wide;
  for (const char* p = text; *p != '\0'; ++p) wide.push_back(static_cast<OLECHAR>(static_cast<unsigned char>(*p)));
  return wide;
}

// The registry's override, or an empty string when there is none.
OleString OverriddenDirectory() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(PLATFORM_SETTINGS_KEY).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return OleString();
  }
  OLECHAR value[kDirectoryCapacity + 1] = {};
  DWORD type = REG_NONE;
  DWORD size = kDirectoryCapacity * sizeof(OLECHAR);
  LSTATUS status = RegQueryValueExW(key, Widen(PLATFORM_COMMON_DIRECTORY_VALUE).c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return OleString();
  value[size / sizeof(OLECHAR) < kDirectoryCapacity ? size / sizeof(OLECHAR) : kDirectoryCapacity] = 0;
  return OleString(value);
}

OleString CommonDirectory(bool* overridden) {
  OleString directory = OverriddenDirectory();
  *overridden = !directory.empty();
  if (directory.empty()) directory = Widen(PLATFORM_DEFAULT_COMMON_DIRECTORY);
  while (directory.size() > 3 && (directory.back() == '\\' || directory.back() == '/')) directory.pop_back();
  return directory;
}

bool IsRooted(const OleString& path) {
  if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return true;
  return path.size() >= 2 && path[1] == ':';
}

HRESULT ToBstr(const OleString& text, BSTR* out) {
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

class PlatformPathResolver final : public IPlatformPathResolver {
 public:
  PlatformPathResolver() { LockServer(); }
  ~PlatformPathResolver() { UnlockServer(); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IPlatformPathResolver)) {
      *ppv = static_cast<IPlatformPathResolver*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: the resolver carries no type information; clients bind early.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IPlatformPathResolver
  HRESULT STDMETHODCALLTYPE get_CommonDirectory(BSTR* directory) override {
    if (directory == nullptr) return E_POINTER;
    bool overridden = false;
    return ToBstr(CommonDirectory(&overridden), directory);
  }
  HRESULT STDMETHODCALLTYPE get_IsOverridden(VARIANT_BOOL* overridden) override {
    if (overridden == nullptr) return E_POINTER;
    bool fromRegistry = false;
    CommonDirectory(&fromRegistry);
    *overridden = fromRegistry ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ResolveSharedPath(BSTR relativePath, BSTR* fullPath) override {
    if (fullPath == nullptr) return E_POINTER;
    *fullPath = nullptr;
    OleString relative = relativePath != nullptr ? OleString(relativePath, SysStringLen(relativePath)) : OleString();
    if (IsRooted(relative)) return E_INVALIDARG;
    bool overridden = false;
    OleString full = CommonDirectory(&overridden);
    if (!relative.empty()) {
      if (full.back() != '\\') full.push_back('\\');
      full += relative;
    }
    return ToBstr(full, fullPath);
  }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace

HRESULT CreateResolver(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  PlatformPathResolver* resolver = new (std::nothrow) PlatformPathResolver();
  if (resolver == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = resolver->QueryInterface(riid, ppv);
  resolver->Release();
  return hr;
}

}  // namespace resolver
