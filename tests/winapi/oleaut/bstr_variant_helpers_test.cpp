#include <comdef.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "test_objects.h"

namespace {

using oleauttest::CountingObject;

TEST(BstrT, ConvertsBetweenCodePageAndUtf16) {
  _bstr_t s("Grüße");
  EXPECT_EQ(s.length(), 5u);
  EXPECT_EQ(static_cast<const OLECHAR*>(s)[2], u'ü');
  EXPECT_STREQ(static_cast<const char*>(s), "Grüße");

  _bstr_t wide(OLESTR("x\u20ACy"));
  EXPECT_STREQ(static_cast<const char*>(wide), "x\xE2\x82\xACy");
}

TEST(BstrT, CopiesShareOneString) {
  _bstr_t a(OLESTR("shared"));
  _bstr_t b = a;
  EXPECT_EQ(static_cast<BSTR>(a), static_cast<BSTR>(b));
  b += OLESTR("!");  // a new string for b only
  EXPECT_EQ(a, _bstr_t("shared"));
  EXPECT_EQ(b, _bstr_t("shared!"));
}

TEST(BstrT, NullEmptyAndComparisons) {
  _bstr_t none;
  _bstr_t empty("");
  EXPECT_TRUE(!none);
  EXPECT_FALSE(!empty);
  EXPECT_EQ(none, empty);  // a null BSTR is the empty string
  EXPECT_EQ(none.length(), 0u);
  EXPECT_EQ(static_cast<const char*>(none), nullptr);
  EXPECT_LT(_bstr_t("abc"), _bstr_t("abd"));
  EXPECT_LT(_bstr_t("ab"), _bstr_t("abc"));
  EXPECT_TRUE(_bstr_t("a") == "a");
  EXPECT_EQ(_bstr_t("a") + "b" + OLESTR("c"), _bstr_t("abc"));
  EXPECT_EQ("x" + _bstr_t("y"), _bstr_t("xy"));
}

TEST(BstrT, AttachDetachAndAddress) {
  _bstr_t s;
  s.Attach(SysAllocString(OLESTR("owned")));
  BSTR out = s.Detach();
  EXPECT_EQ(SysStringLen(out), 5u);
  EXPECT_TRUE(!s);

  _bstr_t copyOf(out, true);
  EXPECT_NE(static_cast<BSTR>(copyOf), out);
  _bstr_t taken(out, false);
  EXPECT_EQ(static_cast<BSTR>(taken), out);

  BSTR* place = taken.GetAddress();
  EXPECT_EQ(*place, nullptr);
  *place = SysAllocString(OLESTR("filled"));
  EXPECT_EQ(taken, _bstr_t("filled"));

  _bstr_t other = taken;
  EXPECT_THROW(taken.Detach(), _com_error);  // shared strings cannot be detached
}

TEST(BstrT, KeepsEmbeddedNulsThroughCopies) {
  const OLECHAR text[] = {'a', 0, 'b'};
  _bstr_t s(SysAllocStringLen(text, 3), false);
  _bstr_t copy(static_cast<BSTR>(s), true);
  EXPECT_EQ(copy.length(), 3u);
  BSTR raw = copy.copy();
  EXPECT_EQ(SysStringLen(raw), 3u);
  SysFreeString(raw);
  _variant_t v(s);
  EXPECT_EQ(SysStringLen(v.bstrVal), 3u);
}

TEST(VariantT, ExtractorsConvertAndRaiseOnFailure) {
  EXPECT_EQ(_variant_t(5).vt, VT_I4);  // LONG is int on this platform
  EXPECT_THROW(_variant_t(LONG{5}, VT_BSTR), _com_error);
  _variant_t number("123");
  EXPECT_EQ(static_cast<LONG>(number), 123);
  EXPECT_EQ(static_cast<double>(number), 123.0);
  EXPECT_EQ(number.vt, VT_BSTR);  // the extractors leave the value alone
  EXPECT_EQ(_bstr_t(_variant_t(LONG{-7})), _bstr_t("-7"));
  EXPECT_TRUE(static_cast<bool>(_variant_t("true")));

  try {
    static_cast<void>(static_cast<LONG>(_variant_t("many")));
    FAIL() << "no error raised";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), DISP_E_TYPEMISMATCH);
  }
  EXPECT_THROW(static_cast<void>(static_cast<short>(_variant_t(LONG{100000}))), _com_error);
}

TEST(VariantT, OwnsItsInterface) {
  CountingObject object;
  {
    _variant_t v(static_cast<IDispatch*>(&object));
    EXPECT_EQ(object.refs(), 1u);
    _variant_t copy = v;
    EXPECT_EQ(object.refs(), 2u);
    IDispatch* extracted = v;  // a new reference for the caller
    EXPECT_EQ(object.refs(), 3u);
    extracted->Release();
    copy = LONG{3};
    EXPECT_EQ(object.refs(), 1u);
    VARIANT raw = v.Detach();
    EXPECT_EQ(v.vt, VT_EMPTY);
    v.Attach(raw);
  }
  EXPECT_EQ(object.refs(), 0u);
}

TEST(VariantT, ChangeTypeAndClear) {
  _variant_t v(LONG{42});
  v.ChangeType(VT_BSTR);
  EXPECT_EQ(v.vt, VT_BSTR);
  EXPECT_EQ(_bstr_t(v), _bstr_t("42"));
  EXPECT_THROW(v.ChangeType(VT_DISPATCH), _com_error);
  EXPECT_EQ(v.vt, VT_BSTR);
  v.Clear();
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_TRUE(_variant_t("a") == _variant_t(OLESTR("a")));
  EXPECT_FALSE(_variant_t(LONG{1}) == _variant_t(short{1}));
}

TEST(ComError, CarriesErrorInformation) {
  const GUID guid = {0xABCDEF01, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  IErrorInfo* info = oleauttest::NewErrorInfo(OLESTR("went wrong"), OLESTR("Test.Source"), guid);

  _com_error error(E_FAIL, info);  // takes over the reference
  _com_error copy = error;
  EXPECT_EQ(copy.Error(), E_FAIL);
  EXPECT_EQ(copy.Description(), _bstr_t("went wrong"));
  EXPECT_EQ(copy.Source(), _bstr_t("Test.Source"));
  EXPECT_EQ(copy.GUID(), guid);
  IErrorInfo* handedOut = copy.ErrorInfo();
  EXPECT_EQ(handedOut, info);
  EXPECT_EQ(handedOut->Release(), 2u);

  _com_error bare(E_INVALIDARG);
  EXPECT_EQ(bare.ErrorInfo(), nullptr);
  EXPECT_TRUE(!bare.Description());
  EXPECT_EQ(bare.GUID(), GUID{});
  EXPECT_STREQ(_com_error(static_cast<HRESULT>(0x80041234)).ErrorMessage(), "IDispatch error #4148");
  EXPECT_STREQ(_com_error(static_cast<HRESULT>(0x80990001)).ErrorMessage(), "Unknown error 0x80990001");
}

TEST(ComError, IssueErrorExTakesTheThreadsInfoOnlyWhenSupported) {
  CountingObject object;
  IErrorInfo* info = oleauttest::NewErrorInfo(OLESTR("from the object"));

  SetErrorInfo(0, info);
  try {
    _com_issue_errorex(E_FAIL, static_cast<IDispatch*>(&object), __uuidof(IDispatch));
  } catch (const _com_error& e) {
    EXPECT_EQ(e.ErrorInfo(), nullptr);  // the object does not offer ISupportErrorInfo
  }

  object.supportsErrorInfo = true;
  try {
    _com_issue_errorex(E_FAIL, static_cast<IDispatch*>(&object), __uuidof(IDispatch));
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Description(), _bstr_t("from the object"));
  }
  IErrorInfo* left = nullptr;
  EXPECT_EQ(GetErrorInfo(0, &left), S_FALSE);  // taken off the thread
  EXPECT_EQ(object.refs(), 0u);
  EXPECT_EQ(info->Release(), 0u);
}

}  // namespace
