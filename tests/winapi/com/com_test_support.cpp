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
  OLECHAR wide[CHARS_IN_GUID];
  ASSERT_EQ(StringFromGUID2(clsid, wide, CHARS_IN_GUID), CHARS_IN_GUID);
  std::string key = "CLSID\\" + std::string(wide, wide + CHARS_IN_GUID - 1) + "\\InprocServer32";
  SetClassesRootString(key, nullptr, path);
  if (threadingModel != nullptr) SetClassesRootString(key, "ThreadingModel", threadingModel);
}

bool IsModuleLoaded(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

HRESULT CountingFactory::QueryInterface(REFIID riid, void** ppv) {
  if (riid != IID_IUnknown && riid != IID_IClassFactory) {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  *ppv = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

HRESULT CountingFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  ++created;
  return QueryInterface(riid, ppv);
}

}  // namespace comtest
