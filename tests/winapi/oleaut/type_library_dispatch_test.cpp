// Calls by name through a widl-compiled type library, as a script client
// makes them against an IDispatch implemented over type information.
#include <gtest/gtest.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "dispatch_test.h"
#include "support/type_info_dispatch.h"
#include "test_objects.h"

namespace {

std::u16string Text(BSTR s) { return s == nullptr ? std::u16string() : std::u16string(s, SysStringLen(s)); }

VARIANT Long(LONG value) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT Object(IDispatch* object) {
  VARIANT v;
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  return v;
}

// Counts its references and answers its interface and IDispatch.
template <typename Interface>
class Dispatching : public qztest::TypeInfoDispatch<Interface> {
 public:
  ULONG refs = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (riid != __uuidof(IUnknown) && riid != __uuidof(IDispatch) && riid != __uuidof(Interface)) {
      return E_NOINTERFACE;
    }
    *ppv = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

class Item : public Dispatching<IDispatchTestItem> {
 public:
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = SysAllocString(OLESTR("item"));
    return S_OK;
  }
};

class Tested : public Dispatching<IDispatchTest2> {
 public:
  Item item;
  IUnknown* used = nullptr;
  LONG count = 0;
  bool leaveErrorInfo = true;

  HRESULT STDMETHODCALLTYPE get_Item(IDispatchTestItem** out) override {
    item.AddRef();
    *out = &item;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Greet(BSTR name, BSTR* greeting) override {
    *greeting = SysAllocString((u"Hello, " + Text(name)).c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Use(IDispatchTestItem* object) override { return Keep(object); }
  HRESULT STDMETHODCALLTYPE UseDocument(IXMLDOMDocument2* document) override { return Keep(document); }
  // The item stands in for a collection of a library nobody registered.
  HRESULT STDMETHODCALLTYPE get_Schemas(IXMLDOMSchemaCollection** schemas) override {
    item.AddRef();
    *schemas = reinterpret_cast<IXMLDOMSchemaCollection*>(static_cast<IDispatch*>(&item));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Fail() override {
    if (leaveErrorInfo) {
      IErrorInfo* info = oleauttest::NewErrorInfo(OLESTR("no schema here"), OLESTR("Tested"));
      SetErrorInfo(0, info);
      info->Release();
    }
    return E_ACCESSDENIED;
  }
  HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) override {
    *sum = a + b;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Count(LONG* out) override {
    *out = count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Count(LONG value) override {
    count = value;
    return S_OK;
  }

 private:
  HRESULT Keep(IUnknown* object) {
    used = object;
    return S_OK;
  }
};

class TypeLibraryDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = DISPATCH_TEST_TLB;
    const std::u16string wide(path.begin(), path.end());
    ASSERT_EQ(LoadTypeLib(reinterpret_cast<LPCOLESTR>(wide.c_str()), &library_), S_OK);
    ASSERT_EQ(library_->GetTypeInfoOfGuid(__uuidof(IDispatchTest2), &tested_.info), S_OK);
    ASSERT_EQ(library_->GetTypeInfoOfGuid(__uuidof(IDispatchTestItem), &tested_.item.info), S_OK);
  }
  void TearDown() override {
    VariantClear(&result_);
    SysFreeString(excep_.bstrSource);
    SysFreeString(excep_.bstrDescription);
    SysFreeString(excep_.bstrHelpFile);
    if (tested_.item.info != nullptr) tested_.item.info->Release();
    if (tested_.info != nullptr) tested_.info->Release();
    if (library_ != nullptr) library_->Release();
  }

  // Looks up `names` (a member, then names of its parameters) and calls the
  // member with `args` in rgvarg order, the first ones named by the
  // parameter names looked up.
  HRESULT Call(IDispatch* object, std::vector<const OLECHAR*> names, WORD flags, std::vector<VARIANT> args = {},
               bool putValue = false) {
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names.data()),
                                       static_cast<UINT>(names.size()), 0, ids.data());
    if (FAILED(hr)) return hr;
    std::vector<DISPID> named(ids.begin() + 1, ids.end());
    if (putValue) named.insert(named.begin(), DISPID_PROPERTYPUT);
    DISPPARAMS params = {args.data(), named.data(), static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
    VariantClear(&result_);
    argErr_ = 99;
    return object->Invoke(ids[0], IID_NULL, 0, flags, &params, &result_, &excep_, &argErr_);
  }

  ITypeLib* library_ = nullptr;
  Tested tested_;
  VARIANT result_{};
  EXCEPINFO excep_{};
  UINT argErr_ = 99;
};

TEST_F(TypeLibraryDispatch, StringInStringOutByCaseInsensitiveNameWithConversion) {
  VARIANT name;
  name.vt = VT_BSTR;
  name.bstrVal = SysAllocString(OLESTR("Ann"));
  ASSERT_EQ(Call(&tested_, {u"gREET"}, DISPATCH_METHOD, {name}), S_OK);
  ASSERT_EQ(result_.vt, VT_BSTR);
  EXPECT_EQ(Text(result_.bstrVal), u"Hello, Ann");

  VARIANT byRef;
  byRef.vt = VT_BYREF | VT_BSTR;
  byRef.pbstrVal = &name.bstrVal;
  ASSERT_EQ(Call(&tested_, {u"Greet"}, DISPATCH_METHOD, {byRef}), S_OK);
  EXPECT_EQ(Text(result_.bstrVal), u"Hello, Ann");
  SysFreeString(name.bstrVal);

  ASSERT_EQ(Call(&tested_, {u"Greet"}, DISPATCH_METHOD, {Long(42)}), S_OK);
  EXPECT_EQ(Text(result_.bstrVal), u"Hello, 42");
}

TEST_F(TypeLibraryDispatch, PropertyGetReturnsAnInterfaceAlsoWhenCalledAsMethod) {
  ASSERT_EQ(Call(&tested_, {u"Item"}, DISPATCH_METHOD), S_OK);
  ASSERT_EQ(Call(&tested_, {u"Item"}, DISPATCH_PROPERTYGET), S_OK);
  ASSERT_EQ(result_.vt, VT_DISPATCH);
  IDispatch* item = result_.pdispVal;
  result_.vt = VT_EMPTY;
  ASSERT_EQ(Call(item, {u"Name"}, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(Text(result_.bstrVal), u"item");
  item->Release();

  // An interface of the unregistered imported library comes back as IDispatch.
  ASSERT_EQ(Call(&tested_, {u"Schemas"}, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(result_.vt, VT_DISPATCH);
  VariantClear(&result_);
  EXPECT_EQ(tested_.item.refs, 0u);
}

TEST_F(TypeLibraryDispatch, InterfaceArgumentsAreAskedForTheNamedInterface) {
  ASSERT_EQ(Call(&tested_, {u"Use"}, DISPATCH_METHOD, {Object(&tested_.item)}), S_OK);
  EXPECT_EQ(tested_.used, static_cast<IUnknown*>(&tested_.item));
  EXPECT_EQ(tested_.item.refs, 0u);  // the reference taken for the call is given back

  oleauttest::CountingObject stranger;  // not an IDispatchTestItem
  EXPECT_EQ(Call(&tested_, {u"Use"}, DISPATCH_METHOD, {Object(&stranger)}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr_, 0u);
  EXPECT_EQ(Call(&tested_, {u"Use"}, DISPATCH_METHOD, {Long(1)}), DISP_E_TYPEMISMATCH);

  // The imported library is not registered: its interface passes as it came.
  ASSERT_EQ(Call(&tested_, {u"UseDocument"}, DISPATCH_METHOD, {Object(&stranger)}), S_OK);
  EXPECT_EQ(tested_.used, static_cast<IUnknown*>(static_cast<IDispatch*>(&stranger)));
  EXPECT_EQ(stranger.refs(), 0u);
}

TEST_F(TypeLibraryDispatch, CountsDefaultsNamedArgumentsAndArgumentErrors) {
  ASSERT_EQ(Call(&tested_, {u"Add"}, DISPATCH_METHOD, {Long(2), Long(1)}), S_OK);
  EXPECT_EQ(result_.lVal, 3);
  ASSERT_EQ(Call(&tested_, {u"Add"}, DISPATCH_METHOD, {Long(1)}), S_OK);  // b takes its default
  EXPECT_EQ(result_.lVal, 11);
  ASSERT_EQ(Call(&tested_, {u"Add", u"b", u"a"}, DISPATCH_METHOD, {Long(100), Long(5)}), S_OK);
  EXPECT_EQ(result_.lVal, 105);

  EXPECT_EQ(Call(&tested_, {u"Add"}, DISPATCH_METHOD), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(&tested_, {u"Add"}, DISPATCH_METHOD, {Long(1), Long(2), Long(3)}), DISP_E_BADPARAMCOUNT);
  VARIANT skipped;
  skipped.vt = VT_ERROR;
  skipped.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(Call(&tested_, {u"Add"}, DISPATCH_METHOD, {Long(2), skipped}), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(argErr_, 1u);
  EXPECT_EQ(Call(&tested_, {u"Add"}, DISPATCH_METHOD, {Long(1)}, true), DISP_E_PARAMNOTFOUND);  // not a put
  EXPECT_EQ(argErr_, 0u);

  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(OLESTR("not a number"));
  EXPECT_EQ(Call(&tested_, {u"Add"}, DISPATCH_METHOD, {Long(2), text}), DISP_E_TYPEMISMATCH);  // rgvarg[1] is a
  EXPECT_EQ(argErr_, 1u);
  SysFreeString(text.bstrVal);
}

TEST_F(TypeLibraryDispatch, PropertyPutTakesTheNamedValue) {
  ASSERT_EQ(Call(&tested_, {u"Count"}, DISPATCH_PROPERTYPUT, {Long(8)}, true), S_OK);
  EXPECT_EQ(tested_.count, 8);
  EXPECT_EQ(result_.vt, VT_EMPTY);
  ASSERT_EQ(Call(&tested_, {u"Count"}, DISPATCH_PROPERTYGET | DISPATCH_METHOD), S_OK);
  EXPECT_EQ(result_.lVal, 8);
}

TEST_F(TypeLibraryDispatch, UnknownNamesMembersAndKinds) {
  EXPECT_EQ(Call(&tested_, {u"Greeting"}, DISPATCH_METHOD), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(Call(&tested_, {u"Greet"}, DISPATCH_PROPERTYPUT, {Long(1)}, true), DISP_E_MEMBERNOTFOUND);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(DispInvoke(&tested_, tested_.info, 99, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(DispInvoke(&tested_, tested_.info, 2, 0, &none, nullptr, nullptr, nullptr), E_INVALIDARG);

  // A dispinterface has no vtable to call through.
  ITypeInfo* events = nullptr;
  ASSERT_EQ(library_->GetTypeInfoOfGuid(DIID_DDispatchTestEvents, &events), S_OK);
  EXPECT_EQ(DispInvoke(&tested_, events, 1, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  events->Release();
}

TEST_F(TypeLibraryDispatch, FailingMethodIsAnExceptionWithTheErrorInfoItLeft) {
  ASSERT_EQ(Call(&tested_, {u"Fail"}, DISPATCH_METHOD), DISP_E_EXCEPTION);
  EXPECT_EQ(excep_.scode, E_ACCESSDENIED);
  EXPECT_EQ(excep_.wCode, 0);
  EXPECT_EQ(Text(excep_.bstrSource), u"Tested");
  EXPECT_EQ(Text(excep_.bstrDescription), u"no schema here");
  SysFreeString(excep_.bstrSource);
  SysFreeString(excep_.bstrDescription);
  excep_ = EXCEPINFO{};

  // Without a place for it, the error information stays on the thread...
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(DispInvoke(&tested_, tested_.info, 6, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_EXCEPTION);
  // ...but does not describe a later failure that left none.
  tested_.leaveErrorInfo = false;
  ASSERT_EQ(Call(&tested_, {u"Fail"}, DISPATCH_METHOD), DISP_E_EXCEPTION);
  EXPECT_EQ(excep_.scode, E_ACCESSDENIED);
  EXPECT_EQ(excep_.bstrDescription, nullptr);
}

}  // namespace
