#include <gtest/gtest.h>
#include <oleauto.h>

#include <string>

#include "counting_object.h"

namespace {

using oleauttest::CountingObject;

// Converts a copy of `from` and returns the HRESULT; the result stays in out.
class ChangeType : public ::testing::Test {
 protected:
  ~ChangeType() override { VariantClear(&out); }

  HRESULT FromText(const char16_t* text, VARTYPE vt) {
    VARIANT in;
    in.vt = VT_BSTR;
    in.bstrVal = SysAllocString(text);
    HRESULT hr = VariantChangeType(&out, &in, 0, vt);
    VariantClear(&in);
    return hr;
  }
  HRESULT From(VARIANT in, VARTYPE vt, USHORT flags = 0) { return VariantChangeType(&out, &in, flags, vt); }
  std::u16string Text() const { return out.bstrVal ? std::u16string(out.bstrVal, SysStringLen(out.bstrVal)) : u""; }

  static VARIANT I4(LONG v) {
    VARIANT x;
    x.vt = VT_I4;
    x.lVal = v;
    return x;
  }
  static VARIANT R8(double v) {
    VARIANT x;
    x.vt = VT_R8;
    x.dblVal = v;
    return x;
  }
  static VARIANT Bool(bool v) {
    VARIANT x;
    x.vt = VT_BOOL;
    x.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
    return x;
  }

  VARIANT out{};
};

TEST_F(ChangeType, TextToNumbers) {
  ASSERT_EQ(FromText(u"  -1,234  ", VT_I4), S_OK);
  EXPECT_EQ(out.vt, VT_I4);
  EXPECT_EQ(out.lVal, -1234);
  ASSERT_EQ(FromText(u"2.5", VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 2);  // half to even
  ASSERT_EQ(FromText(u"3.5", VT_I2), S_OK);
  EXPECT_EQ(out.iVal, 4);
  ASSERT_EQ(FromText(u"1.5e3", VT_R8), S_OK);
  EXPECT_EQ(out.dblVal, 1500.0);
  ASSERT_EQ(FromText(u"4294967295", VT_UI4), S_OK);
  EXPECT_EQ(out.ulVal, 4294967295u);
  ASSERT_EQ(FromText(u".5", VT_R8), S_OK);
  EXPECT_EQ(out.dblVal, 0.5);
  ASSERT_EQ(FromText(u"+7.", VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 7);
}

TEST_F(ChangeType, TextOutOfRangeOverflows) {
  EXPECT_EQ(FromText(u"32768", VT_I2), DISP_E_OVERFLOW);
  EXPECT_EQ(FromText(u"2147483648", VT_I4), DISP_E_OVERFLOW);
  EXPECT_EQ(FromText(u"-1", VT_UI4), DISP_E_OVERFLOW);
  EXPECT_EQ(FromText(u"99999999999999999999999", VT_I4), DISP_E_OVERFLOW);
  EXPECT_EQ(FromText(u"1e400", VT_R8), DISP_E_OVERFLOW);
  EXPECT_EQ(out.vt, VT_EMPTY);  // a failure leaves the destination alone
}

TEST_F(ChangeType, TextThatIsNoNumberMismatches) {
  for (const char16_t* bad : {u"", u"   ", u"abc", u"12abc", u"1e", u"--1", u".", u"1 2"}) {
    EXPECT_EQ(FromText(bad, VT_I4), DISP_E_TYPEMISMATCH) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
  }
  VARIANT nullText;
  nullText.vt = VT_BSTR;
  nullText.bstrVal = nullptr;
  EXPECT_EQ(From(nullText, VT_I4), DISP_E_TYPEMISMATCH);
}

TEST_F(ChangeType, BooleansAndText) {
  ASSERT_EQ(From(Bool(true), VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"-1");
  ASSERT_EQ(From(Bool(false), VT_BSTR, VARIANT_ALPHABOOL), S_OK);
  EXPECT_EQ(Text(), u"False");
  ASSERT_EQ(FromText(u" TRUE ", VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  ASSERT_EQ(FromText(u"0", VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_FALSE);
  EXPECT_EQ(FromText(u"yes", VT_BOOL), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(From(I4(-5), VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  ASSERT_EQ(From(Bool(true), VT_I4), S_OK);
  EXPECT_EQ(out.lVal, -1);
}

TEST_F(ChangeType, NumbersToText) {
  ASSERT_EQ(From(I4(-42), VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"-42");
  ASSERT_EQ(From(R8(1.5), VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"1.5");
  ASSERT_EQ(From(R8(1e20), VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"1E+20");
  ASSERT_EQ(From(R8(0.1 + 0.2), VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"0.3");
}

TEST_F(ChangeType, NumbersAmongThemselves) {
  EXPECT_EQ(From(R8(32767.5), VT_I2), DISP_E_OVERFLOW);
  ASSERT_EQ(From(R8(-32768.5), VT_I2), S_OK);
  EXPECT_EQ(out.iVal, -32768);
  EXPECT_EQ(From(I4(70000), VT_I2), DISP_E_OVERFLOW);
  // One width, other signedness: the bits carry over.
  ASSERT_EQ(From(I4(-1), VT_UI4), S_OK);
  EXPECT_EQ(out.ulVal, 0xFFFFFFFFu);
  ASSERT_EQ(From(I4(7), VT_R8), S_OK);
  EXPECT_EQ(out.dblVal, 7.0);
}

TEST_F(ChangeType, EmptyAndNull) {
  VARIANT empty;
  VariantInit(&empty);
  ASSERT_EQ(From(empty, VT_BSTR), S_OK);
  ASSERT_NE(out.bstrVal, nullptr);
  EXPECT_EQ(SysStringLen(out.bstrVal), 0u);
  ASSERT_EQ(From(empty, VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 0);

  VARIANT null;
  null.vt = VT_NULL;
  EXPECT_EQ(From(null, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(From(null, VT_BSTR), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(From(null, VT_EMPTY), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(From(I4(3), VT_NULL), S_OK);
  EXPECT_EQ(out.vt, VT_NULL);
}

TEST_F(ChangeType, InterfacesByQueryInterface) {
  CountingObject object;
  VARIANT unknown;
  unknown.vt = VT_UNKNOWN;
  unknown.punkVal = static_cast<IDispatch*>(&object);
  object.AddRef();
  ASSERT_EQ(From(unknown, VT_DISPATCH), S_OK);
  EXPECT_EQ(out.pdispVal, static_cast<IDispatch*>(&object));
  EXPECT_EQ(object.refs(), 2u);

  // In place: the old reference goes, the new one stays.
  ASSERT_EQ(VariantChangeType(&unknown, &unknown, 0, VT_DISPATCH), S_OK);
  EXPECT_EQ(unknown.vt, VT_DISPATCH);
  EXPECT_EQ(object.refs(), 2u);

  // An object's value is its default property.
  ASSERT_EQ(From(unknown, VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"42");
  EXPECT_EQ(From(unknown, VT_I4, VARIANT_NOVALUEPROP), DISP_E_TYPEMISMATCH);

  VariantClear(&unknown);
  VariantClear(&out);
  EXPECT_EQ(object.refs(), 0u);

  VARIANT none;
  none.vt = VT_UNKNOWN;
  none.punkVal = nullptr;
  ASSERT_EQ(From(none, VT_DISPATCH), S_OK);
  EXPECT_EQ(out.pdispVal, nullptr);
  EXPECT_EQ(FromText(u"x", VT_UNKNOWN), DISP_E_TYPEMISMATCH);
}

TEST_F(ChangeType, InPlaceFailureKeepsTheSource) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(OLESTR("not a number"));
  EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(v.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(v.bstrVal), 12u);
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
  VariantClear(&v);
}

TEST_F(ChangeType, ByReferenceSourcesAreRead) {
  LONG value = 12;
  VARIANT ref;
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &value;
  ASSERT_EQ(From(ref, VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"12");
  EXPECT_EQ(From(I4(1), VT_BYREF | VT_I4), DISP_E_BADVARTYPE);
}

}  // namespace
