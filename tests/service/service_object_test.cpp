// The service object's COM identity: what it answers, how later creations
// reach it, its own class factory, and how long it and the module live.
#include <ocidl.h>

#include "service_test_support.h"

namespace servicetest {
namespace {

using ServiceObjectTest = ServiceTest;

IUnknownPtr Identity(IUnknown* object) {
  IUnknownPtr identity;
  EXPECT_EQ(S_OK, object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
  return identity;
}

TEST_F(ServiceObjectTest, AnswersItsFiveInterfacesAndNothingElse) {
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service);
  const IUnknownPtr identity = Identity(service);
  for (const IID* iid : {&IID_IQZXMLSchemaService, &IID_IQZXMLSchemaService2, &IID_IDispatch,
                         &IID_IConnectionPointContainer, &IID_IClassFactory}) {
    IUnknownPtr answer;
    ASSERT_EQ(S_OK, service->QueryInterface(*iid, reinterpret_cast<void**>(&answer)));
    EXPECT_EQ(identity, Identity(answer));
  }
  // IUnknown is the first entry, the service interface.
  IQZXMLSchemaServicePtr first;
  service->QueryInterface(IID_IQZXMLSchemaService, reinterpret_cast<void**>(&first));
  EXPECT_EQ(static_cast<IUnknown*>(first), static_cast<IUnknown*>(identity));

  for (const IID* iid : {&IID_ISupportErrorInfo, &IID_IProvideClassInfo, &IID_IPersist}) {
    void* answer = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, service->QueryInterface(*iid, &answer));
    EXPECT_EQ(nullptr, answer);
  }
  EXPECT_EQ(E_POINTER, service->QueryInterface(IID_IUnknown, nullptr));
}

// The first object registers itself; every later creation in this apartment
// is its own class factory handing it out again, without building the
// collection anew.
TEST_F(ServiceObjectTest, LaterCreationsGetTheFirstObjectWithoutANewInitialisation) {
  WriteMeterCache();
  IQZXMLSchemaService2Ptr first = Create();
  ASSERT_NE(nullptr, first);
  IXMLDOMSchemaCollectionPtr before;
  ASSERT_EQ(S_OK, GetSchemas(first, before));

  // A new initialisation would now fail to store anything new.
  WriteCache("not a cache");
  IQZXMLSchemaService2* second = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER, IID_IQZXMLSchemaService2,
                                   reinterpret_cast<void**>(&second)));
  EXPECT_EQ(Identity(first), Identity(second));
  const ULONG count = second->AddRef();
  second->Release();
  second->Release();
  EXPECT_EQ(4u, count) << "the client's two references, the registration's, and the one just taken";

  IXMLDOMSchemaCollectionPtr after;
  ASSERT_EQ(S_OK, GetSchemas(first, after));
  EXPECT_EQ(before, after);

  // Served by the object's own factory, a creation asking for IUnknown is
  // refused, as that factory refuses it.
  void* unknown = nullptr;
  EXPECT_EQ(E_NOINTERFACE,
            CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &unknown));
}

// The object registered itself before the creation asked it for the
// interface; destroyed on the refusal, it takes its registration with it.
TEST_F(ServiceObjectTest, ACreationThatAsksForAnotherInterfaceLeavesNoRegistration) {
  void* refused = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE,
            CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER, IID_IPersist, &refused));
  EXPECT_EQ(nullptr, refused);
  EXPECT_EQ(S_OK, CanUnloadNow());
  IQZXMLSchemaService2Ptr service = Create();
  EXPECT_NE(nullptr, service);
}

TEST_F(ServiceObjectTest, ItsOwnClassFactoryHandsOutOnlyItselfAsAServiceInterface) {
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service);
  IClassFactoryPtr factory;
  ASSERT_EQ(S_OK, service->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)));

  for (const IID* iid : {&IID_IQZXMLSchemaService, &IID_IQZXMLSchemaService2}) {
    IUnknownPtr made;
    EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, *iid, reinterpret_cast<void**>(&made)));
    EXPECT_EQ(Identity(service), Identity(made));
  }
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_IClassFactory}) {
    void* made = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, *iid, &made));
    EXPECT_EQ(nullptr, made);
  }
  EXPECT_EQ(E_INVALIDARG, factory->CreateInstance(nullptr, IID_IQZXMLSchemaService, nullptr));
  EXPECT_EQ(E_NOTIMPL, factory->LockServer(TRUE));
  EXPECT_EQ(E_NOTIMPL, factory->LockServer(FALSE));
}

TEST_F(ServiceObjectTest, TheLibraryRefusesAnOuterObject) {
  IClassFactoryPtr factory = LibraryClassFactory();
  ASSERT_NE(nullptr, factory);
  void* made = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(IUnknownPtr(factory), IID_IUnknown, &made));
  EXPECT_EQ(nullptr, made);
}

TEST_F(ServiceObjectTest, OffersNoConnectionPoint) {
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service);
  IConnectionPointContainerPtr container;
  ASSERT_EQ(S_OK, service->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));

  IConnectionPoint* point = reinterpret_cast<IConnectionPoint*>(1);
  EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(DIID__IQZXMLSchemaServiceEvents, &point));
  EXPECT_EQ(nullptr, point);
  EXPECT_EQ(E_POINTER, container->FindConnectionPoint(DIID__IQZXMLSchemaServiceEvents, nullptr));

  IEnumConnectionPointsPtr points;
  ASSERT_EQ(S_OK, container->EnumConnectionPoints(&points));
  ULONG fetched = 1;
  EXPECT_EQ(S_FALSE, points->Next(1, &point, &fetched));
  EXPECT_EQ(0u, fetched);
}

TEST_F(ServiceObjectTest, ItsMethodsRefuseNullArguments) {
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service);
  EXPECT_EQ(E_INVALIDARG, service->UseSelectedEncoding(nullptr));
  EXPECT_EQ(E_INVALIDARG, service->GetSelectedEncodingName(nullptr));
  _bstr_t sentence;
  EXPECT_EQ(E_INVALIDARG, service->UnRegisterSchema(nullptr, sentence.GetAddress()));
}

// The object's registration keeps it, and the module, alive after the client
// let go; leaving COM ends both.
TEST_F(ServiceObjectTest, LivesUntilItsApartmentLeavesCom) {
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service);
  IQZXMLSchemaService2* object = service;
  service = nullptr;
  EXPECT_EQ(2u, object->AddRef()) << "the registration's reference and this one";
  object->Release();
  EXPECT_EQ(S_FALSE, CanUnloadNow());

  CoUninitialize();
  EXPECT_EQ(S_OK, CanUnloadNow());
  ASSERT_EQ(S_OK, CoInitialize(nullptr));
}

}  // namespace
}  // namespace servicetest
