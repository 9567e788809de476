#include <comdef.h>
#include <gtest/gtest.h>

#include "test_objects.h"

namespace {

using oleauttest::CountingObject;

TEST(ComPtr, HoldsOneReference) {
  CountingObject object;
  {
    IDispatchPtr p(static_cast<IDispatch*>(&object));
    EXPECT_EQ(object.refs(), 1u);
    IDispatchPtr copy = p;
    EXPECT_EQ(object.refs(), 2u);
    IDispatchPtr moved = std::move(copy);
    EXPECT_EQ(object.refs(), 2u);
    EXPECT_FALSE(copy);
    moved = nullptr;
    EXPECT_EQ(object.refs(), 1u);
    IDispatchPtr target;
    target = std::move(p);
    EXPECT_EQ(object.refs(), 1u);
    EXPECT_FALSE(p);
    EXPECT_TRUE(target);
  }
  EXPECT_EQ(object.refs(), 0u);
}

TEST(ComPtr, OtherInterfacesAreAskedForThisOne) {
  CountingObject object;
  IUnknown* unknown = static_cast<IDispatch*>(&object);
  {
    IDispatchPtr p(unknown);
    EXPECT_EQ(object.queries, 1);
    EXPECT_EQ(object.refs(), 1u);
    IUnknownPtr back = p;
    EXPECT_EQ(object.refs(), 2u);
    EXPECT_TRUE(back == p);  // same object, whatever the interface
  }
  EXPECT_EQ(object.refs(), 0u);

  // A refusal leaves the pointer null without raising.
  IErrorInfoPtr refused(unknown);
  EXPECT_FALSE(refused);
  EXPECT_TRUE(refused == nullptr);
  EXPECT_EQ(object.refs(), 0u);
}

TEST(ComPtr, AddressReleasesFirst) {
  CountingObject first;
  CountingObject second;
  IDispatchPtr p(static_cast<IDispatch*>(&first));
  IDispatch** place = &p;
  EXPECT_EQ(first.refs(), 0u);
  EXPECT_EQ(*place, nullptr);
  *place = &second;
  second.AddRef();  // as an [out] parameter would
  EXPECT_EQ(p.GetInterfacePtr(), static_cast<IDispatch*>(&second));
}

TEST(ComPtr, ReleaseOrUseOfNothingRaises) {
  CountingObject object;
  IDispatchPtr p;
  object.AddRef();
  p.Attach(&object);  // takes over the caller's reference
  p.Release();
  EXPECT_EQ(object.refs(), 0u);
  EXPECT_THROW(p.Release(), _com_error);
  EXPECT_THROW(p->GetTypeInfoCount(nullptr), _com_error);
}

TEST(ComPtr, QueryInterfaceAndVariants) {
  CountingObject object;
  IDispatchPtr p(static_cast<IDispatch*>(&object));
  IUnknown* unknown = nullptr;
  EXPECT_EQ(p.QueryInterface(__uuidof(IUnknown), &unknown), S_OK);
  unknown->Release();
  IStream* stream = nullptr;
  EXPECT_EQ(p.QueryInterface(__uuidof(IStream), &stream), E_NOINTERFACE);

  _variant_t v(static_cast<IUnknown*>(static_cast<IDispatch*>(&object)));
  IDispatchPtr fromVariant(v);
  EXPECT_EQ(fromVariant, p);
  EXPECT_THROW(IDispatchPtr(_variant_t("text")), _com_error);
  fromVariant = nullptr;
  v.Clear();
  p = nullptr;
  EXPECT_EQ(object.refs(), 0u);
}

}  // namespace
