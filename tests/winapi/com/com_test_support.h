// What the COM runtime tests share: a fixture that initialises COM on the
// test's thread, registry entries for test classes, a class factory whose
// references can be watched, and a check whether a module is mapped.
#pragma once

#include <atomic>
#include <string>

#include <gtest/gtest.h>
#include <objbase.h>

namespace comtest {

// COM is initialised for the test and uninitialised after it; the last
// CoUninitialize revokes class objects and unloads servers, so every test
// starts from a clean process state.
class ComTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CoInitialize(nullptr), S_OK); }
  void TearDown() override { CoUninitialize(); }
};

// Writes HKCR\CLSID\{clsid}\InprocServer32 = path, with ThreadingModel
// unless it is null.
void RegisterInprocServer(REFCLSID clsid, const std::string& path, const char* threadingModel);

// Writes a string value (null name: the default value) under HKCR\keyPath.
void SetClassesRootString(const std::string& keyPath, const char* valueName, const std::string& value);

// True when the shared object at path is mapped into the process.
bool IsModuleLoaded(const std::string& path);

// A class factory that counts its references and creations. Its objects are
// the factory itself, asked for the requested interface.
class CountingFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }  // lives on the test's stack
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  std::atomic<ULONG> refs{1};
  std::atomic<int> created{0};
};

}  // namespace comtest
