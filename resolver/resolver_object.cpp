// The resolver object: stateless, so every call reads the registry anew and
// an override takes effect without restarting anything.
#include "resolver_object.h"

#include <string>

#include <windows.h>

#include "PlatformSettings.h"

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

}  // namespace

STDMETHODIMP CPlatformPathResolver::get_CommonDirectory(BSTR* directory) {
  if (directory == nullptr) return E_POINTER;
  bool overridden = false;
  return ToBstr(CommonDirectory(&overridden), directory);
}

STDMETHODIMP CPlatformPathResolver::get_IsOverridden(VARIANT_BOOL* overridden) {
  if (overridden == nullptr) return E_POINTER;
  bool fromRegistry = false;
  CommonDirectory(&fromRegistry);
  *overridden = fromRegistry ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP CPlatformPathResolver::ResolveSharedPath(BSTR relativePath, BSTR* fullPath) {
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

}  // namespace resolver
