// The module: class objects from the object map, the lock count that they
// and the objects hold, and the empty connection-point container.
#include "shell_fixture.h"

namespace atltest {
namespace {

using ModuleTest = ShellTest;

IClassFactory* Factory(CComModule& module, REFCLSID clsid) {
  IClassFactory* factory = nullptr;
  EXPECT_EQ(module.GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  return factory;
}

TEST_F(ModuleTest, TheClassObjectIsMadeOnceAndOnlyClientReferencesLock) {
  IClassFactory* factory = Factory(module_, CLSID_Plain);
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(module_.GetLockCount(), 1) << "a client reference on the kept factory locks the module";
  IClassFactory* again = Factory(module_, CLSID_Plain);
  EXPECT_EQ(again, factory);
  EXPECT_EQ(module_.GetLockCount(), 1);
  again->Release();
  EXPECT_EQ(module_.GetLockCount(), 1);
  factory->Release();
  EXPECT_EQ(module_.GetLockCount(), 0);

  void* none = &none;
  EXPECT_EQ(module_.GetClassObject(IID_IFirst, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(module_.GetClassObject(CLSID_Plain, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(ModuleTest, TheFactoryCreatesLocksAndRefusesAggregation) {
  IClassFactory* factory = Factory(module_, CLSID_Plain);
  ASSERT_NE(factory, nullptr);
  IFirst* first = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IFirst, reinterpret_cast<void**>(&first)), S_OK);
  EXPECT_EQ(module_.GetLockCount(), 2) << "the factory's client reference and the object";

  IUnknown* outer = first;
  void* none = &none;
  EXPECT_EQ(factory->CreateInstance(outer, IID_IFirst, &none), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &none), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IFirst, nullptr), E_POINTER);
  EXPECT_EQ(Trace::constructed, 1);

  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(module_.GetLockCount(), 3);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  first->Release();
  factory->Release();
  EXPECT_EQ(module_.GetLockCount(), 0);
}

TEST_F(ModuleTest, TermReleasesTheClassObjects) {
  Factory(module_, CLSID_Plain)->Release();
  ASSERT_NE(TestObjectMap[0].pCF, nullptr);
  module_.Term();
  EXPECT_EQ(TestObjectMap[0].pCF, nullptr);
}

TEST_F(ModuleTest, TheModuleOfATestIsCurrentWhileItLives) {
  EXPECT_EQ(_pAtlModule, &module_);
  {
    CComModule inner;
    EXPECT_EQ(_pAtlModule, &inner);
  }
  EXPECT_EQ(_pAtlModule, &module_);
}

TEST_F(ModuleTest, TheConnectionPointContainerHasNothingToConnect) {
  IConnectionPointContainer* container = nullptr;
  ASSERT_EQ(CContainer::CreateInstance(&container), S_OK);

  IConnectionPoint* point = reinterpret_cast<IConnectionPoint*>(&point);
  EXPECT_EQ(container->FindConnectionPoint(IID_IFirst, &point), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point, nullptr);
  EXPECT_EQ(container->FindConnectionPoint(IID_IFirst, nullptr), E_POINTER);

  IEnumConnectionPoints* points = nullptr;
  ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
  ULONG fetched = 7;
  EXPECT_EQ(points->Next(1, &point, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  IEnumConnectionPoints* clone = nullptr;
  ASSERT_EQ(points->Clone(&clone), S_OK);
  EXPECT_EQ(clone->Next(1, &point, nullptr), S_FALSE);
  EXPECT_EQ(module_.GetLockCount(), 3) << "the container and both enumerators";
  EXPECT_EQ(container->EnumConnectionPoints(nullptr), E_POINTER);
  clone->Release();
  points->Release();
  container->Release();
  EXPECT_EQ(module_.GetLockCount(), 0);
}

}  // namespace
}  // namespace atltest
