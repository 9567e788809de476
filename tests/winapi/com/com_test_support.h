// What the COM runtime tests share: a fixture that initialises COM on the
// test's thread, registry entries for test classes, a class factory whose
// references can be watched, and a check whether a module is mapped.
#pragma once

#include <atomic>
#include <string>

#include <gtest/gtest.h>
#include <objbase.h>

namespace comtest {

// The last CoUninitialize revokes class objects and unloads servers, so
// every test starts from a clean process state.
class ComTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CoInitialize(nullptr), S_OK); }
  void TearDown() override { CoUninitialize(); }
};

// Sets a string value (null name: the default value) of HKCR\keyPath.
void SetClassesRootString(const std::string& keyPath, const char* valueName, const std::string& value);

// HKCR\CLSID\{clsid}\InprocServer32 = path, with its ThreadingModel.
void RegisterInprocServer(REFCLSID clsid, const std::string& path, const char* threadingModel);

bool IsModuleLoaded(const std::string& path);

// A class factory on the test's stack that counts its references. Its
// objects are the factory itself.
class CountingFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = riid == IID_IUnknown || riid == IID_IClassFactory ? this : nullptr;
    if (*ppv == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
    return QueryInterface(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  std::atomic<ULONG> refs{1};
};

}  // namespace comtest
