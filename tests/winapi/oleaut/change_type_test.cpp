#include <comdef.h>
#include <gtest/gtest.h>

#include <string>

#include "test_objects.h"

namespace {

using oleauttest::CountingObject;

// Converts `in` into `out` (which keeps the result) and returns the HRESULT.
class ChangeType : public ::testing::Test {
 protected:
  HRESULT From(const _variant_t& in, VARTYPE vt, USHORT flags = 0) {
    return VariantChangeType(out.GetAddress(), &in, flags, vt);
  }
  std::u16string Text() const { return std::u16string(out.bstrVal, SysStringLen(out.bstrVal)); }

  _variant_t out;
};

TEST_F(ChangeType, TextToNumbers) {
  ASSERT_EQ(From(u"  -1,234  ", VT_I4), S_OK);
  EXPECT_EQ(out.vt, VT_I4);
  EXPECT_EQ(out.lVal, -1234);
  ASSERT_EQ(From(u"2.5", VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 2);  // half to even
  ASSERT_EQ(From(u"3.5", VT_I2), S_OK);
  EXPECT_EQ(out.iVal, 4);
  ASSERT_EQ(From(u"1.5e3", VT_R8), S_OK);
  EXPECT_EQ(out.dblVal, 1500.0);
  ASSERT_EQ(From(u"4294967295", VT_UI4), S_OK);
  EXPECT_EQ(out.ulVal, 4294967295u);
  ASSERT_EQ(From(u".5", VT_R8), S_OK);
  EXPECT_EQ(out.dblVal, 0.5);
  ASSERT_EQ(From(u"+7.", VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 7);
}

TEST_F(ChangeType, TextOutOfRangeOverflows) {
  EXPECT_EQ(From(u"32768", VT_I2), DISP_E_OVERFLOW);
  EXPECT_EQ(From(u"2147483648", VT_I4), DISP_E_OVERFLOW);
  EXPECT_EQ(From(u"-1", VT_UI4), DISP_E_OVERFLOW);
  EXPECT_EQ(From(u"99999999999999999999999", VT_I4), DISP_E_OVERFLOW);
  EXPECT_EQ(From(u"1e400", VT_R8), DISP_E_OVERFLOW);
  EXPECT_EQ(out.vt, VT_EMPTY);  // a failure leaves the destination alone
}

TEST_F(ChangeType, TextThatIsNoNumberMismatches) {
  for (const char16_t* bad : {u"", u"   ", u"abc", u"12abc", u"1e", u"--1", u".", u"1 2"}) {
    EXPECT_EQ(From(bad, VT_I4), DISP_E_TYPEMISMATCH) << static_cast<const char*>(_bstr_t(bad));
  }
  _variant_t nullText(static_cast<const OLECHAR*>(nullptr));
  EXPECT_EQ(From(nullText, VT_I4), DISP_E_TYPEMISMATCH);
}

TEST_F(ChangeType, BooleansAndText) {
  ASSERT_EQ(From(true, VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"-1");
  ASSERT_EQ(From(false, VT_BSTR, VARIANT_ALPHABOOL), S_OK);
  EXPECT_EQ(Text(), u"False");
  ASSERT_EQ(From(u" TRUE ", VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  ASSERT_EQ(From(u"0", VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_FALSE);
  EXPECT_EQ(From(u"yes", VT_BOOL), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(From(-5, VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  ASSERT_EQ(From(true, VT_I4), S_OK);
  EXPECT_EQ(out.lVal, -1);
}

TEST_F(ChangeType, NumbersToTextAndAmongThemselves) {
  ASSERT_EQ(From(-42, VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"-42");
  ASSERT_EQ(From(1e20, VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"1E+20");
  ASSERT_EQ(From(0.1 + 0.2, VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"0.3");  // fifteen significant digits

  EXPECT_EQ(From(32767.5, VT_I2), DISP_E_OVERFLOW);
  ASSERT_EQ(From(-32768.5, VT_I2), S_OK);
  EXPECT_EQ(out.iVal, -32768);
  EXPECT_EQ(From(70000, VT_I2), DISP_E_OVERFLOW);
  // One width, other signedness: the bits carry over.
  ASSERT_EQ(From(-1, VT_UI4), S_OK);
  EXPECT_EQ(out.ulVal, 0xFFFFFFFFu);
}

TEST_F(ChangeType, EmptyAndNull) {
  ASSERT_EQ(From(_variant_t(), VT_BSTR), S_OK);
  ASSERT_NE(out.bstrVal, nullptr);  // "", not a null BSTR
  EXPECT_EQ(SysStringLen(out.bstrVal), 0u);
  ASSERT_EQ(From(_variant_t(), VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 0);

  VARIANT null;
  null.vt = VT_NULL;
  EXPECT_EQ(From(null, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(From(null, VT_BSTR), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(From(null, VT_EMPTY), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(From(3, VT_NULL), S_OK);
  EXPECT_EQ(out.vt, VT_NULL);
}

TEST_F(ChangeType, InterfacesByQueryInterface) {
  CountingObject object;
  {
    _variant_t unknown(static_cast<IUnknown*>(static_cast<IDispatch*>(&object)));
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
  }
  EXPECT_EQ(object.refs(), 0u);

  ASSERT_EQ(From(static_cast<IUnknown*>(nullptr), VT_DISPATCH), S_OK);
  EXPECT_EQ(out.pdispVal, nullptr);
  EXPECT_EQ(From(u"x", VT_UNKNOWN), DISP_E_TYPEMISMATCH);
}

TEST_F(ChangeType, InPlaceFailureKeepsTheSource) {
  _variant_t v(u"not a number");
  EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(v.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(v.bstrVal), 12u);
}

TEST_F(ChangeType, ByReferenceSourcesAreRead) {
  LONG value = 12;
  VARIANT ref;
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &value;
  ASSERT_EQ(From(ref, VT_BSTR), S_OK);
  EXPECT_EQ(Text(), u"12");
  EXPECT_EQ(From(1, VT_BYREF | VT_I4), DISP_E_BADVARTYPE);
}

}  // namespace
