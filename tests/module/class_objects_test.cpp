// The library's class object and when the library may be unloaded.
#include <qzschemas.h>

#include "library_test_support.h"

namespace moduletest {
namespace {

using ClassObjectTest = LibraryTest;

TEST_F(ClassObjectTest, OneFactoryForTheClassAndNoneForAnyOther) {
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, library_.GetClassObject(IID_IQZXMLSchemaService, IID_IClassFactory, &other));
  EXPECT_EQ(nullptr, other);

  IClassFactory* first = nullptr;
  IClassFactory* second = nullptr;
  ASSERT_EQ(S_OK, library_.GetClassObject(CLSID_QZXMLSchemaService, IID_IClassFactory, reinterpret_cast<void**>(&first)));
  ASSERT_EQ(S_OK, library_.GetClassObject(CLSID_QZXMLSchemaService, IID_IClassFactory, reinterpret_cast<void**>(&second)));
  EXPECT_EQ(first, second) << "made once, kept for the module's life";
  second->Release();

  // A client's reference on the factory, and its lock, hold the module.
  EXPECT_EQ(S_FALSE, library_.CanUnloadNow());
  EXPECT_EQ(S_OK, first->LockServer(TRUE));
  first->Release();
  EXPECT_EQ(S_FALSE, library_.CanUnloadNow());
  IClassFactory* locked = nullptr;
  ASSERT_EQ(S_OK, library_.GetClassObject(CLSID_QZXMLSchemaService, IID_IClassFactory, reinterpret_cast<void**>(&locked)));
  EXPECT_EQ(S_OK, locked->LockServer(FALSE));
  locked->Release();
  EXPECT_EQ(S_OK, library_.CanUnloadNow());
}

// A released object lives on in its own class-object registration, which
// the apartment's end revokes.
TEST_F(ClassObjectTest, AReleasedObjectHoldsTheLibraryUntilItsRegistrationEnds) {
  ASSERT_EQ(S_OK, library_.Register());
  EXPECT_EQ(S_OK, library_.CanUnloadNow());
  IQZXMLSchemaService* service = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER, IID_IQZXMLSchemaService,
                                   reinterpret_cast<void**>(&service)));
  EXPECT_EQ(S_FALSE, library_.CanUnloadNow());
  service->Release();
  EXPECT_EQ(S_FALSE, library_.CanUnloadNow());

  CoUninitialize();
  EXPECT_EQ(S_OK, library_.CanUnloadNow());
  ASSERT_GE(CoInitialize(nullptr), 0);
}

}  // namespace
}  // namespace moduletest
