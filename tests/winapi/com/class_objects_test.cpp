// Class objects registered in the process: references, cookies, contexts,
// the order of activation, and an object that registers itself while it is
// being created.
#include <gtest/gtest.h>
#include <objbase.h>
#include <qzwin/com.h>

#include "com_test_support.h"
#include "test_server.h"

namespace {

using comtest::ComTest;
using comtest::CountingFactory;

// {3C9D0B51-77A2-4C3E-9D1E-2A3B4C5D6E01} .. 03
constexpr CLSID kLocalClsid = {0x3C9D0B51, 0x77A2, 0x4C3E, {0x9D, 0x1E, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x01}};
constexpr CLSID kBuiltinClsid = {0x3C9D0B51, 0x77A2, 0x4C3E, {0x9D, 0x1E, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x02}};
constexpr CLSID kServiceClsid = {0x3C9D0B51, 0x77A2, 0x4C3E, {0x9D, 0x1E, 0x2A, 0x3B, 0x4C, 0x5D, 0x6E, 0x03}};

IClassFactory* GetFactory(REFCLSID clsid, DWORD context, HRESULT* hr) {
  void* factory = nullptr;
  *hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, &factory);
  return static_cast<IClassFactory*>(factory);
}

CountingFactory g_builtinFactory;
HRESULT GetBuiltinFactory(REFIID riid, void** ppv) { return g_builtinFactory.QueryInterface(riid, ppv); }

class ClassObjects : public ComTest {};

TEST_F(ClassObjects, TheTableHoldsAReferenceUntilRevoked) {
  CountingFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(kLocalClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTI_SEPARATE, &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(factory.refs, 2u);

  HRESULT hr = E_FAIL;
  IClassFactory* found = GetFactory(kLocalClsid, CLSCTX_INPROC_SERVER, &hr);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(found, &factory);
  if (found != nullptr) found->Release();

  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(factory.refs, 1u);
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
  EXPECT_EQ(GetFactory(kLocalClsid, CLSCTX_INPROC_SERVER, &hr), nullptr);
  EXPECT_EQ(hr, REGDB_E_CLASSNOTREG);
}

TEST_F(ClassObjects, RefusesMissingArguments) {
  CountingFactory factory;
  DWORD cookie = 0;
  EXPECT_EQ(CoRegisterClassObject(kLocalClsid, nullptr, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            E_INVALIDARG);
  EXPECT_EQ(CoRegisterClassObject(kLocalClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, nullptr),
            E_INVALIDARG);
  EXPECT_EQ(factory.refs, 1u);
  EXPECT_EQ(CoGetClassObject(kLocalClsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, nullptr), E_INVALIDARG);
  EXPECT_EQ(CoCreateInstance(kLocalClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(ClassObjects, ServeOnlyTheContextsTheyWereRegisteredFor) {
  CountingFactory separate;
  CountingFactory multiple;
  DWORD separateCookie = 0;
  DWORD multipleCookie = 0;
  ASSERT_EQ(CoRegisterClassObject(kLocalClsid, &separate, CLSCTX_LOCAL_SERVER, REGCLS_MULTI_SEPARATE, &separateCookie),
            S_OK);
  HRESULT hr = E_FAIL;
  EXPECT_EQ(GetFactory(kLocalClsid, CLSCTX_INPROC_SERVER, &hr), nullptr);
  EXPECT_EQ(hr, REGDB_E_CLASSNOTREG);

  // A multiple-use local server is also in-process.
  ASSERT_EQ(CoRegisterClassObject(kLocalClsid, &multiple, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &multipleCookie),
            S_OK);
  IClassFactory* found = GetFactory(kLocalClsid, CLSCTX_INPROC_SERVER, &hr);
  EXPECT_EQ(found, &multiple);
  if (found != nullptr) found->Release();

  // The earliest registration that fits serves.
  found = GetFactory(kLocalClsid, CLSCTX_LOCAL_SERVER, &hr);
  EXPECT_EQ(found, &separate);
  if (found != nullptr) found->Release();

  EXPECT_EQ(CoRevokeClassObject(separateCookie), S_OK);
  EXPECT_EQ(CoRevokeClassObject(multipleCookie), S_OK);
}

TEST_F(ClassObjects, RegisteredObjectsComeBeforeBuiltInClassesAndTheRegistry) {
  qzwin::RegisterBuiltinClass(kBuiltinClsid, GetBuiltinFactory);
  comtest::RegisterInprocServer(kBuiltinClsid, QZ_TEST_SERVER_PATH, "Apartment");
  comtest::RegisterInprocServer(comtest::kServerClsid, QZ_TEST_SERVER_PATH, "Apartment");

  IUnknown* object = nullptr;
  ASSERT_EQ(CoCreateInstance(kBuiltinClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            S_OK);
  EXPECT_EQ(object, static_cast<IUnknown*>(&g_builtinFactory));
  object->Release();

  CountingFactory local;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(comtest::kServerClsid, &local, CLSCTX_INPROC_SERVER, REGCLS_MULTI_SEPARATE, &cookie),
            S_OK);
  ASSERT_EQ(CoCreateInstance(comtest::kServerClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            S_OK);
  EXPECT_EQ(object, static_cast<IUnknown*>(&local));
  object->Release();
  EXPECT_EQ(local.created, 1);
  EXPECT_FALSE(comtest::IsModuleLoaded(QZ_TEST_SERVER_PATH));
  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
}

TEST_F(ClassObjects, TheLastUninitialiseOfAThreadRevokesItsRegistrations) {
  CountingFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoInitialize(nullptr), S_FALSE);
  ASSERT_EQ(CoRegisterClassObject(kLocalClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
  CoUninitialize();
  EXPECT_EQ(factory.refs, 2u);  // still initialised once
  CoUninitialize();
  EXPECT_EQ(factory.refs, 1u);
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
}

// Like the system's service object: from inside its own creation it offers
// itself as the class object of its class, and revokes that registration
// when it is destroyed.
class SelfRegisteringService final : public IClassFactory {
 public:
  static int s_alive;
  static int s_revokeResultOnDestroy;

  static HRESULT Create(REFIID riid, void** ppv) {
    auto* service = new SelfRegisteringService;
    HRESULT hr =
        CoRegisterClassObject(kServiceClsid, service, CLSCTX_INPROC_SERVER, REGCLS_MULTI_SEPARATE, &service->cookie_);
    if (SUCCEEDED(hr)) hr = service->QueryInterface(riid, ppv);
    service->Release();
    return hr;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  // Later creations served by the registration get this same object.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
    return QueryInterface(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return E_NOTIMPL; }

 private:
  SelfRegisteringService() { ++s_alive; }
  ~SelfRegisteringService() {
    --s_alive;
    if (cookie_ != 0) s_revokeResultOnDestroy = CoRevokeClassObject(cookie_);
  }

  ULONG refs_ = 1;
  DWORD cookie_ = 0;
};
int SelfRegisteringService::s_alive = 0;
int SelfRegisteringService::s_revokeResultOnDestroy = S_OK;

// The class factory of the service's library, offered as a built-in class.
class ServiceLibraryFactory final : public CountingFactory {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
    ++created;
    return SelfRegisteringService::Create(riid, ppv);
  }
};
ServiceLibraryFactory g_serviceLibraryFactory;
HRESULT GetServiceLibraryFactory(REFIID riid, void** ppv) { return g_serviceLibraryFactory.QueryInterface(riid, ppv); }

TEST_F(ClassObjects, AnObjectMayRegisterItselfWhileItIsCreated) {
  qzwin::RegisterBuiltinClass(kServiceClsid, GetServiceLibraryFactory);
  IUnknown* first = nullptr;
  IUnknown* second = nullptr;
  ASSERT_EQ(CoCreateInstance(kServiceClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&first)),
            S_OK);
  ASSERT_EQ(CoCreateInstance(kServiceClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&second)),
            S_OK);
  EXPECT_EQ(first, second);
  EXPECT_EQ(g_serviceLibraryFactory.created, 1);

  first->Release();
  second->Release();
  EXPECT_EQ(SelfRegisteringService::s_alive, 1);  // its registration keeps it

  // Uninitialising releases it; its destructor's revoke finds it gone.
  CoUninitialize();
  EXPECT_EQ(SelfRegisteringService::s_alive, 0);
  EXPECT_EQ(SelfRegisteringService::s_revokeResultOnDestroy, CO_E_OBJNOTREG);
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
}

}  // namespace
