// Objects made by the creator: the COM map, the reference count around
// FinalConstruct, the module lock, and what happens on failure.
#include "shell_fixture.h"

namespace atltest {
namespace {

using ObjectsTest = ShellTest;

template <class I>
I* Create(HRESULT* hr, IUnknown* outer = nullptr) {
  I* object = nullptr;
  *hr = CPlain::_CreatorClass::CreateInstance(outer, __uuidof(I), reinterpret_cast<void**>(&object));
  return object;
}

TEST_F(ObjectsTest, TheComMapAnswersItsInterfacesAndIUnknownWithTheFirst) {
  HRESULT hr = E_FAIL;
  IFirst* first = Create<IFirst>(&hr);
  ASSERT_EQ(hr, S_OK);
  EXPECT_EQ(Trace::countInFinalConstruct, 1) << "the count is raised around FinalConstruct";
  EXPECT_EQ(module_.GetLockCount(), 1);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(first->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(first)) << "IUnknown is the first entry";
  ISecond* second = nullptr;
  ASSERT_EQ(first->QueryInterface(IID_ISecond, reinterpret_cast<void**>(&second)), S_OK);
  EXPECT_EQ(second->Second(), S_FALSE);
  IDerived* derived = nullptr;
  ASSERT_EQ(first->QueryInterface(IID_IDerived, reinterpret_cast<void**>(&derived)), S_OK);
  EXPECT_EQ(derived->Derived(), E_NOTIMPL);
  EXPECT_EQ(static_cast<void*>(derived), static_cast<void*>(static_cast<IDerivedB*>(static_cast<CPlain*>(first))))
      << "COM_INTERFACE_ENTRY2 goes through the branch it names";

  void* none = &hr;
  EXPECT_EQ(first->QueryInterface(IID_IDispatch, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(first->QueryInterface(IID_IFirst, nullptr), E_POINTER);

  derived->Release();
  second->Release();
  unknown->Release();
  EXPECT_EQ(first->Release(), 0u);
  EXPECT_EQ(Trace::destroyed, 1);
  EXPECT_EQ(module_.GetLockCount(), 0);
}

TEST_F(ObjectsTest, AFailedFinalConstructOrQueryDestroysTheObject) {
  Trace::finalConstructResult = E_OUTOFMEMORY;
  HRESULT hr = S_OK;
  EXPECT_EQ(Create<IFirst>(&hr), nullptr);
  EXPECT_EQ(hr, E_OUTOFMEMORY);
  EXPECT_EQ(Trace::constructed, 1);
  EXPECT_EQ(Trace::destroyed, 1);

  Trace::finalConstructResult = S_OK;
  EXPECT_EQ(Create<IDispatch>(&hr), nullptr);
  EXPECT_EQ(hr, E_NOINTERFACE);
  EXPECT_EQ(Trace::destroyed, 2);
  EXPECT_EQ(module_.GetLockCount(), 0);

  EXPECT_EQ(CPlain::_CreatorClass::CreateInstance(nullptr, IID_IFirst, nullptr), E_POINTER);
}

TEST_F(ObjectsTest, AnOuterObjectIsRefusedBeforeAnythingIsMade) {
  HRESULT hr = S_OK;
  IUnknown* outer = reinterpret_cast<IUnknown*>(&hr);  // never called
  EXPECT_EQ(Create<IUnknown>(&hr, outer), nullptr);
  EXPECT_EQ(hr, CLASS_E_NOAGGREGATION);
  EXPECT_EQ(Trace::constructed, 0);
}

TEST_F(ObjectsTest, AReleaseFromFinalReleaseDoesNotDeleteTwice) {
  Trace::releaseInFinalRelease = true;
  CComObject<CPlain>* object = nullptr;
  ASSERT_EQ(CComObject<CPlain>::CreateInstance(&object), S_OK);
  EXPECT_EQ(object->m_dwRef, 0) << "CreateInstance leaves the count at 0";
  object->AddRef();
  object->Release();
  EXPECT_EQ(Trace::destroyed, 1);
  EXPECT_EQ(module_.GetLockCount(), 0);
}

}  // namespace
}  // namespace atltest
