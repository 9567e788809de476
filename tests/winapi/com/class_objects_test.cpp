// Class objects registered in the process: references, cookies, the order
// of activation, who sees a registration, and an object that registers
// itself while it is created.
#include <thread>

#include <gtest/gtest.h>
#include <objbase.h>
#include <qzwin/com.h>

#include "com_test_support.h"
#include "test_server.h"

namespace {

using comtest::CountingFactory;

// {3C9D0B51-77A2-4C3E-9D1E-2A3B4C5D6E01} .. 03
constexpr CLSID kLocalClsid = {0x3C9D0B51, 0x77A2, 0x4C3E, {0x9D, 0x1E, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x01}};
constexpr CLSID kBuiltinClsid = {0x3C9D0B51, 0x77A2, 0x4C3E, {0x9D, 0x1E, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x02}};
constexpr CLSID kServiceClsid = {0x3C9D0B51, 0x77A2, 0x4C3E, {0x9D, 0x1E, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x03}};

IUnknown* Create(REFCLSID clsid, HRESULT* hr) {
  void* object = nullptr;
  *hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object);
  return static_cast<IUnknown*>(object);
}

CountingFactory g_builtinFactory;
HRESULT GetBuiltinFactory(REFIID riid, void** ppv) { return g_builtinFactory.QueryInterface(riid, ppv); }

class ClassObjects : public comtest::ComTest {};

TEST_F(ClassObjects, TheTableHoldsAReferenceUntilRevoked) {
  CountingFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(kLocalClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTI_SEPARATE, &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(factory.refs, 2u);
  HRESULT hr = E_FAIL;
  IUnknown* object = Create(kLocalClsid, &hr);
  EXPECT_EQ(object, static_cast<IUnknown*>(&factory));
  if (object != nullptr) object->Release();

  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(factory.refs, 1u);
  EXPECT_EQ(CoRevokeClassObject(cookie), E_INVALIDARG);
  EXPECT_EQ(Create(kLocalClsid, &hr), nullptr);
  EXPECT_EQ(hr, REGDB_E_CLASSNOTREG);
}

TEST_F(ClassObjects, ComeBeforeBuiltInClassesWhichComeBeforeTheRegistry) {
  qzwin::RegisterBuiltinClass(kBuiltinClsid, GetBuiltinFactory);
  comtest::RegisterInprocServer(kBuiltinClsid, QZ_TEST_SERVER_PATH, "Apartment");
  comtest::RegisterInprocServer(comtest::kServerClsid, QZ_TEST_SERVER_PATH, "Apartment");
  HRESULT hr = E_FAIL;
  IUnknown* object = Create(kBuiltinClsid, &hr);
  EXPECT_EQ(object, static_cast<IUnknown*>(&g_builtinFactory));
  if (object != nullptr) object->Release();

  CountingFactory local;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(comtest::kServerClsid, &local, CLSCTX_INPROC_SERVER, REGCLS_MULTI_SEPARATE, &cookie),
            S_OK);
  object = Create(comtest::kServerClsid, &hr);
  EXPECT_EQ(object, static_cast<IUnknown*>(&local));
  if (object != nullptr) object->Release();
  EXPECT_FALSE(comtest::IsModuleLoaded(QZ_TEST_SERVER_PATH));
  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
}

// A single-threaded apartment keeps its registrations to itself, and they end
// with it even while other threads stay in COM.
TEST_F(ClassObjects, BelongToTheApartmentThatRegisteredThem) {
  CountingFactory factory;
  DWORD cookie = 0;
  HRESULT fromOtherApartment = E_FAIL;
  HRESULT revokedFromOtherApartment = E_FAIL;
  std::thread([&] {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    ASSERT_EQ(CoRegisterClassObject(kLocalClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTI_SEPARATE, &cookie),
              S_OK);
    std::thread([&] {
      CoInitialize(nullptr);
      EXPECT_EQ(Create(kLocalClsid, &fromOtherApartment), nullptr);
      revokedFromOtherApartment = CoRevokeClassObject(cookie);
      CoUninitialize();
    }).join();
    HRESULT hr = E_FAIL;
    IUnknown* mine = Create(kLocalClsid, &hr);
    EXPECT_EQ(mine, static_cast<IUnknown*>(&factory));
    if (mine != nullptr) mine->Release();
    CoUninitialize();
  }).join();
  EXPECT_EQ(fromOtherApartment, REGDB_E_CLASSNOTREG);
  EXPECT_EQ(revokedFromOtherApartment, RPC_E_WRONG_THREAD);
  EXPECT_EQ(factory.refs, 1u) << "the registering thread's CoUninitialize released it";

  HRESULT hr = E_FAIL;
  EXPECT_EQ(Create(kLocalClsid, &hr), nullptr);
  EXPECT_EQ(CoRevokeClassObject(cookie), E_INVALIDARG);
}

// The multithreaded threads are one apartment: each sees what another
// registered, and its registrations last until the last of them leaves.
TEST_F(ClassObjects, MultithreadedThreadsShareOneApartment) {
  CountingFactory factory;
  IUnknown* seenByNeighbour = nullptr;
  HRESULT fromSingleThreaded = S_OK;
  ULONG refsAfterNeighbourLeft = 0;
  std::thread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kLocalClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTI_SEPARATE, &cookie),
              S_OK);
    std::thread([&] {
      CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      HRESULT hr = E_FAIL;
      seenByNeighbour = Create(kLocalClsid, &hr);
      if (seenByNeighbour != nullptr) seenByNeighbour->Release();
      CoUninitialize();
    }).join();
    refsAfterNeighbourLeft = factory.refs;
    std::thread([&] {
      CoInitialize(nullptr);
      EXPECT_EQ(Create(kLocalClsid, &fromSingleThreaded), nullptr);
      CoUninitialize();
    }).join();
    CoUninitialize();
  }).join();
  EXPECT_EQ(seenByNeighbour, static_cast<IUnknown*>(&factory));
  EXPECT_EQ(refsAfterNeighbourLeft, 2u);
  EXPECT_EQ(fromSingleThreaded, REGDB_E_CLASSNOTREG);
  EXPECT_EQ(factory.refs, 1u) << "the last multithreaded thread's CoUninitialize released it";
}

// Like the system's service object: from inside its own creation it offers
// itself as the class object of its class, later creations get it again,
// and it revokes its registration when it is destroyed.
class SelfRegisteringService final : public CountingFactory {
 public:
  static inline int s_made = 0;
  static inline HRESULT s_revokedOnDestroy = S_OK;

  static HRESULT GetClassObject(REFIID riid, void** ppv) {
    auto* service = new SelfRegisteringService;
    HRESULT hr =
        CoRegisterClassObject(kServiceClsid, service, CLSCTX_INPROC_SERVER, REGCLS_MULTI_SEPARATE, &service->cookie_);
    if (SUCCEEDED(hr)) hr = service->QueryInterface(riid, ppv);
    service->Release();
    return hr;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs;
    if (left == 0) {
      s_revokedOnDestroy = CoRevokeClassObject(cookie_);
      delete this;
    }
    return left;
  }

 private:
  SelfRegisteringService() { ++s_made; }
  DWORD cookie_ = 0;
};

TEST_F(ClassObjects, AnObjectMayRegisterItselfWhileItIsCreated) {
  qzwin::RegisterBuiltinClass(kServiceClsid, SelfRegisteringService::GetClassObject);
  HRESULT hr = E_FAIL;
  IUnknown* first = Create(kServiceClsid, &hr);
  IUnknown* second = Create(kServiceClsid, &hr);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(SelfRegisteringService::s_made, 1);
  first->Release();
  second->Release();

  // Its registration keeps it until the thread leaves COM; the revoke in
  // its destructor then finds it gone.
  EXPECT_EQ(static_cast<CountingFactory*>(first)->refs, 1u);
  CoUninitialize();
  EXPECT_EQ(SelfRegisteringService::s_revokedOnDestroy, E_INVALIDARG);
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
}

}  // namespace
