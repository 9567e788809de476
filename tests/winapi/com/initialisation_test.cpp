// CoInitialize(Ex) and CoUninitialize keep a count per thread; the calls
// that need COM fail with CO_E_NOTINITIALIZED outside of it.
#include <thread>

#include <gtest/gtest.h>
#include <objbase.h>

#include "com_test_support.h"

namespace {

// {0E8A43D2-5C11-4A3B-8F00-1F2E3D4C5B6A}
constexpr CLSID kAnyClsid = {0x0E8A43D2, 0x5C11, 0x4A3B, {0x8F, 0x00, 0x1F, 0x2E, 0x3D, 0x4C, 0x5B, 0x6A}};

HRESULT TryCreate() {
  void* object = reinterpret_cast<void*>(1);
  HRESULT hr = CoCreateInstance(kAnyClsid, nullptr, CLSCTX_ALL, IID_IUnknown, &object);
  EXPECT_EQ(object, nullptr);
  return hr;
}

TEST(ComInitialisation, IsCountedPerThreadAndKeepsItsModel) {
  EXPECT_EQ(TryCreate(), CO_E_NOTINITIALIZED);
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);  // counts nothing

  HRESULT otherThread = E_FAIL;
  std::thread([&] {
    otherThread = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CoUninitialize();
  }).join();
  EXPECT_EQ(otherThread, S_OK);

  CoUninitialize();
  EXPECT_EQ(TryCreate(), REGDB_E_CLASSNOTREG);  // still initialised once
  CoUninitialize();
  EXPECT_EQ(TryCreate(), CO_E_NOTINITIALIZED);
  CoUninitialize();  // one too many does nothing

  comtest::CountingFactory factory;
  DWORD cookie = 7;
  EXPECT_EQ(CoRegisterClassObject(kAnyClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            CO_E_NOTINITIALIZED);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(factory.refs, 1u);
}

}  // namespace
