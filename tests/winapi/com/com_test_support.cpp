#include "com_test_support.h"

#include <dlfcn.h>

#include <winreg.h>

namespace comtest {

void SetClassesRootString(const std::string& keyPath, const char* valueName, const std::string& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void RegisterInprocServer(REFCLSID clsid, const std::string& path, const char* threadingModel) {
  OLECHAR clsidText[CHARS_IN_GUID];
  StringFromGUID2(clsid, clsidText, CHARS_IN_GUID);
  std::string key = "CLSID\\" + std::string(clsidText, clsidText + CHARS_IN_GUID - 1) + "\\InprocServer32";
  SetClassesRootString(key, nullptr, path);
  SetClassesRootString(key, "ThreadingModel", threadingModel);
}

bool IsModuleLoaded(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

}  // namespace comtest
