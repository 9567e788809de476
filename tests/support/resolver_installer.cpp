#include "support/resolver_installer.h"

#include <cstring>

#include <gtest/gtest.h>

#include "PlatformPathResolver.h"
#include "PlatformSettings.h"

namespace resolvertest {
namespace {

HRESULT CallExport(const char* name) {
  HMODULE module = LoadLibraryA(QZ_RESOLVER_MODULE);
  if (module == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, name));
  HRESULT hr = entry != nullptr ? entry() : E_UNEXPECTED;
  FreeLibrary(module);
  return hr;
}

}  // namespace

HRESULT RegisterResolver() { return CallExport("DllRegisterServer"); }
HRESULT UnregisterResolver() { return CallExport("DllUnregisterServer"); }

void SetCommonDirectory(const char* windowsPath) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, PLATFORM_SETTINGS_KEY, 0, nullptr, 0, KEY_WRITE, nullptr,
                                           &key, nullptr));
  if (windowsPath != nullptr) {
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, PLATFORM_COMMON_DIRECTORY_VALUE, 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(windowsPath),
                                            static_cast<DWORD>(std::strlen(windowsPath) + 1)));
  } else {
    RegDeleteValueA(key, PLATFORM_COMMON_DIRECTORY_VALUE);
  }
  RegCloseKey(key);
}

}  // namespace resolvertest
