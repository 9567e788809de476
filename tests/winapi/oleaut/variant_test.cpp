#include <gtest/gtest.h>
#include <oleauto.h>

#include "test_objects.h"

namespace {

using oleauttest::CountingObject;

TEST(Variant, ClearFreesStringsAndReleasesInterfaces) {
  CountingObject object;
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_UNKNOWN;
  v.punkVal = static_cast<IDispatch*>(&object);
  object.AddRef();
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(object.refs(), 0u);
  EXPECT_EQ(v.vt, VT_EMPTY);

  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(OLESTR("freed by clear"));  // the leak checker sees it otherwise
  EXPECT_EQ(VariantClear(&v), S_OK);

  v.vt = VT_DISPATCH;
  v.pdispVal = nullptr;
  EXPECT_EQ(VariantClear(&v), S_OK);
}

TEST(Variant, ClearLeavesByReferenceValuesAlone) {
  CountingObject object;
  IUnknown* held = static_cast<IDispatch*>(&object);
  object.AddRef();
  BSTR text = SysAllocString(OLESTR("owned elsewhere"));
  VARIANT v;
  v.vt = VT_BYREF | VT_UNKNOWN;
  v.ppunkVal = &held;
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(object.refs(), 1u);
  v.vt = VT_BYREF | VT_BSTR;
  v.pbstrVal = &text;
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(SysStringLen(text), 15u);
  SysFreeString(text);
}

TEST(Variant, UnknownTypesAreRefusedAndLeftAsTheyAre) {
  VARIANT v;
  for (VARTYPE bad : {VARTYPE{15}, VARTYPE{VT_VOID}, VARTYPE{0x7F}, VARTYPE{VT_BYREF | VT_EMPTY},
                      VARTYPE{VT_BYREF | VT_NULL}, VARTYPE{VT_ARRAY | VT_I4}}) {
    v.vt = bad;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE) << bad;
    EXPECT_EQ(v.vt, bad);
  }
  VARIANT dest;
  VariantInit(&dest);
  v.vt = 15;
  EXPECT_EQ(VariantCopy(&dest, &v), DISP_E_BADVARTYPE);
  EXPECT_EQ(dest.vt, VT_EMPTY);
}

TEST(Variant, CopyMakesItsOwnStringAndAddsAReference) {
  CountingObject object;
  VARIANT source;
  source.vt = VT_DISPATCH;
  source.pdispVal = &object;
  object.AddRef();
  VARIANT copy;
  VariantInit(&copy);
  EXPECT_EQ(VariantCopy(&copy, &source), S_OK);
  EXPECT_EQ(object.refs(), 2u);
  VariantClear(&copy);
  VariantClear(&source);
  EXPECT_EQ(object.refs(), 0u);

  const OLECHAR text[] = {'a', 0, 'b'};
  source.vt = VT_BSTR;
  source.bstrVal = SysAllocStringLen(text, 3);
  EXPECT_EQ(VariantCopy(&copy, &source), S_OK);
  EXPECT_NE(copy.bstrVal, source.bstrVal);
  EXPECT_EQ(SysStringLen(copy.bstrVal), 3u);
  EXPECT_EQ(copy.bstrVal[2], 'b');
  VariantClear(&copy);
  VariantClear(&source);
}

TEST(Variant, CopyReleasesWhatTheDestinationHeld) {
  CountingObject old;
  VARIANT dest;
  dest.vt = VT_UNKNOWN;
  dest.punkVal = static_cast<IDispatch*>(&old);
  old.AddRef();
  VARIANT source;
  source.vt = VT_I4;
  source.lVal = 7;
  EXPECT_EQ(VariantCopy(&dest, &source), S_OK);
  EXPECT_EQ(old.refs(), 0u);
  EXPECT_EQ(dest.vt, VT_I4);
  EXPECT_EQ(dest.lVal, 7);
  EXPECT_EQ(VariantCopy(&dest, &dest), S_OK);
  EXPECT_EQ(dest.lVal, 7);
}

}  // namespace
