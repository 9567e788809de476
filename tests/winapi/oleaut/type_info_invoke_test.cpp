#include <gtest/gtest.h>
#include <oleauto.h>

#include <string>

#include "fake_type_info.h"
#include "test_objects.h"

namespace {

using oleauttest::FakeTypeInfo;

constexpr GUID kIidItem = {0x5a1c0001, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x01}};
constexpr GUID kIidService = {0x5a1c0002, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x02}};
constexpr GUID kIidServiceBase = {0x5a1c0003, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x03}};

std::u16string Text(BSTR s) { return s == nullptr ? std::u16string() : std::u16string(s, SysStringLen(s)); }

// The interfaces of the service's shapes: after IDispatch's seven slots,
// a property returning an interface, [in] BSTR with [out, retval] BSTR,
// [in] interface pointers (one of a library nobody registered), and more.
struct ITestService : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Item(IDispatch** item) = 0;        // 7, typed as the item
  virtual HRESULT STDMETHODCALLTYPE Greet(BSTR name, BSTR* greeting) = 0;  // 8
  virtual HRESULT STDMETHODCALLTYPE Use(IDispatch* item) = 0;              // 9, typed as the item
  virtual HRESULT STDMETHODCALLTYPE UseForeign(IUnknown* document) = 0;    // 10
  virtual HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) = 0;    // 11
  virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;           // 12
  virtual HRESULT STDMETHODCALLTYPE put_Count(LONG count) = 0;            // 13
  virtual HRESULT STDMETHODCALLTYPE Fail() = 0;                           // 14
};

// The item answers kIidItem besides IUnknown and IDispatch.
class Item : public oleauttest::CountingObject {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (riid != kIidItem) return CountingObject::QueryInterface(riid, ppv);
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
};

class Service : public ITestService {
 public:
  Item item;
  IUnknown* used = nullptr;
  LONG count = 0;
  bool leaveErrorInfo = true;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_Item(IDispatch** out) override {
    item.AddRef();
    *out = &item;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Greet(BSTR name, BSTR* greeting) override {
    *greeting = SysAllocString((u"Hello, " + Text(name)).c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Use(IDispatch* object) override { return Keep(object); }
  HRESULT STDMETHODCALLTYPE UseForeign(IUnknown* object) override { return Keep(object); }
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
  HRESULT STDMETHODCALLTYPE Fail() override {
    if (!leaveErrorInfo) return E_ACCESSDENIED;
    ICreateErrorInfo* create = nullptr;
    CreateErrorInfo(&create);
    create->SetSource(const_cast<LPOLESTR>(OLESTR("TestService")));
    create->SetDescription(const_cast<LPOLESTR>(OLESTR("no schema here")));
    IErrorInfo* info = nullptr;
    create->QueryInterface(__uuidof(IErrorInfo), reinterpret_cast<void**>(&info));
    SetErrorInfo(0, info);
    info->Release();
    create->Release();
    return E_ACCESSDENIED;
  }

 private:
  HRESULT Keep(IUnknown* object) {
    used = object;
    return S_OK;
  }
};

// The dispatch side of the dual interface leads to its vtable side, which
// derives from a base holding the first two members.
class TypeInfoInvoke : public ::testing::Test {
 protected:
  TypeInfoInvoke()
      : item_(TKIND_DISPATCH, TYPEFLAG_FDUAL, kIidItem),
        base_(TKIND_INTERFACE, TYPEFLAG_FDUAL, kIidServiceBase),
        vtable_(TKIND_INTERFACE, TYPEFLAG_FDUAL, kIidService),
        dispatch_(TKIND_DISPATCH, TYPEFLAG_FDUAL, kIidService) {
    constexpr HREFTYPE kItemRef = 1, kForeignRef = 2;  // the second resolves nowhere
    base_.SetReference(kItemRef, &item_);
    base_.AddFunction(1, INVOKE_PROPERTYGET, 7,
                      {base_.Param(base_.PointerTo(base_.PointerTo(base_.Reference(kItemRef))), PARAMFLAG_FRETVAL)});
    base_.AddFunction(2, INVOKE_FUNC, 8,
                      {base_.Param(base_.Type(VT_BSTR), PARAMFLAG_FIN),
                       base_.Param(base_.PointerTo(base_.Type(VT_BSTR)), PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)});

    FakeTypeInfo& v = vtable_;
    v.SetBase(&base_);
    v.SetReference(kItemRef, &item_);
    v.AddFunction(3, INVOKE_FUNC, 9, {v.Param(v.PointerTo(v.Reference(kItemRef)), PARAMFLAG_FIN)});
    v.AddFunction(4, INVOKE_FUNC, 10, {v.Param(v.PointerTo(v.Reference(kForeignRef)), PARAMFLAG_FIN)});
    fallback_.cBytes = sizeof fallback_;
    fallback_.varDefaultValue.vt = VT_I4;
    fallback_.varDefaultValue.lVal = 10;
    v.AddFunction(5, INVOKE_FUNC, 11,
                  {v.Param(v.Type(VT_I4), PARAMFLAG_FIN),
                   v.Param(v.Type(VT_I4), PARAMFLAG_FIN | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT, &fallback_),
                   v.Param(v.PointerTo(v.Type(VT_I4)), PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)});
    v.AddFunction(6, INVOKE_PROPERTYGET, 12, {v.Param(v.PointerTo(v.Type(VT_I4)), PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)});
    v.AddFunction(6, INVOKE_PROPERTYPUT, 13, {v.Param(v.Type(VT_I4), PARAMFLAG_FIN)});
    v.AddFunction(7, INVOKE_FUNC, 14, {});
    // get_Item again, typed as returning an interface of an unregistered library.
    v.AddFunction(8, INVOKE_PROPERTYGET, 7,
                  {v.Param(v.PointerTo(v.PointerTo(v.Reference(kForeignRef))), PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)});

    dispatch_.SetReference(oleauttest::kVtableSide, &vtable_);
  }
  ~TypeInfoInvoke() override { VariantClear(&result_); }

  // Invokes member `id` of the service with `args` in rgvarg order.
  HRESULT Invoke(MEMBERID id, WORD flags, std::vector<VARIANT> args = {}, std::vector<DISPID> named = {}) {
    VariantClear(&result_);
    DISPPARAMS params = {args.data(), named.data(), static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
    argErr_ = 99;
    return DispInvoke(static_cast<ITestService*>(&service_), &dispatch_, id, flags, &params, &result_, nullptr,
                      &argErr_);
  }
  static VARIANT Long(LONG value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
  }
  static VARIANT Object(VARTYPE vt, IUnknown* object) {
    VARIANT v;
    v.vt = vt;
    v.punkVal = object;
    return v;
  }

  FakeTypeInfo item_, base_, vtable_, dispatch_;
  PARAMDESCEX fallback_{};
  Service service_;
  VARIANT result_{};
  UINT argErr_ = 99;
};

TEST_F(TypeInfoInvoke, PropertyGetReturnsTheInterfaceAsDispatchAlsoWhenCalledAsMethod) {
  ASSERT_EQ(Invoke(1, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(result_.vt, VT_DISPATCH);
  EXPECT_EQ(result_.pdispVal, static_cast<IDispatch*>(&service_.item));
  ASSERT_EQ(Invoke(1, DISPATCH_METHOD), S_OK);
  EXPECT_EQ(result_.vt, VT_DISPATCH);
  // An interface of unknown type comes back as IDispatch when it has it.
  ASSERT_EQ(Invoke(8, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(result_.vt, VT_DISPATCH);
  VariantClear(&result_);
  EXPECT_EQ(service_.item.refs(), 0u);
}

TEST_F(TypeInfoInvoke, StringInStringOutWithConversion) {
  VARIANT name;
  name.vt = VT_BSTR;
  name.bstrVal = SysAllocString(OLESTR("Ann"));
  ASSERT_EQ(Invoke(2, DISPATCH_METHOD, {name}), S_OK);
  ASSERT_EQ(result_.vt, VT_BSTR);
  EXPECT_EQ(Text(result_.bstrVal), u"Hello, Ann");

  VARIANT byRef;
  byRef.vt = VT_BYREF | VT_BSTR;
  byRef.pbstrVal = &name.bstrVal;
  ASSERT_EQ(Invoke(2, DISPATCH_METHOD, {byRef}), S_OK);
  EXPECT_EQ(Text(result_.bstrVal), u"Hello, Ann");
  SysFreeString(name.bstrVal);

  ASSERT_EQ(Invoke(2, DISPATCH_METHOD, {Long(42)}), S_OK);  // converted to the parameter's type
  EXPECT_EQ(Text(result_.bstrVal), u"Hello, 42");
}

TEST_F(TypeInfoInvoke, InterfaceArgumentsAreAskedForTheNamedInterface) {
  ASSERT_EQ(Invoke(3, DISPATCH_METHOD, {Object(VT_UNKNOWN, static_cast<IDispatch*>(&service_.item))}), S_OK);
  EXPECT_EQ(service_.used, static_cast<IDispatch*>(&service_.item));
  EXPECT_EQ(service_.item.refs(), 0u);  // the frame's own reference is given back

  oleauttest::CountingObject stranger;  // has no kIidItem
  EXPECT_EQ(Invoke(3, DISPATCH_METHOD, {Object(VT_DISPATCH, static_cast<IDispatch*>(&stranger))}),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr_, 0u);
  EXPECT_EQ(Invoke(3, DISPATCH_METHOD, {Long(1)}), DISP_E_TYPEMISMATCH);

  // An interface of a library that is not registered passes as it came.
  ASSERT_EQ(Invoke(4, DISPATCH_METHOD, {Object(VT_DISPATCH, static_cast<IDispatch*>(&stranger))}), S_OK);
  EXPECT_EQ(service_.used, static_cast<IDispatch*>(&stranger));
  EXPECT_EQ(stranger.refs(), 0u);
}

TEST_F(TypeInfoInvoke, CountsOptionalsNamedArgumentsAndArgumentErrors) {
  ASSERT_EQ(Invoke(5, DISPATCH_METHOD, {Long(2), Long(1)}), S_OK);
  EXPECT_EQ(result_.lVal, 3);
  ASSERT_EQ(Invoke(5, DISPATCH_METHOD, {Long(1)}), S_OK);  // b takes its default
  EXPECT_EQ(result_.lVal, 11);
  ASSERT_EQ(Invoke(5, DISPATCH_METHOD, {Long(100), Long(5)}, {1, 0}), S_OK);  // b:=100, a:=5
  EXPECT_EQ(result_.lVal, 105);

  EXPECT_EQ(Invoke(5, DISPATCH_METHOD), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Invoke(5, DISPATCH_METHOD, {Long(1), Long(2), Long(3)}), DISP_E_BADPARAMCOUNT);
  VARIANT skipped;
  skipped.vt = VT_ERROR;
  skipped.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(Invoke(5, DISPATCH_METHOD, {Long(2), skipped}), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(argErr_, 1u);
  EXPECT_EQ(Invoke(5, DISPATCH_METHOD, {Long(1)}, {7}), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(argErr_, 0u);

  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(OLESTR("not a number"));
  EXPECT_EQ(Invoke(5, DISPATCH_METHOD, {Long(2), text}), DISP_E_TYPEMISMATCH);  // rgvarg[1] is a
  EXPECT_EQ(argErr_, 1u);
  SysFreeString(text.bstrVal);
}

TEST_F(TypeInfoInvoke, PropertyPutTakesTheNamedValueAndReturnsNothing) {
  ASSERT_EQ(Invoke(6, DISPATCH_PROPERTYPUT, {Long(8)}, {DISPID_PROPERTYPUT}), S_OK);
  EXPECT_EQ(service_.count, 8);
  EXPECT_EQ(result_.vt, VT_EMPTY);
  ASSERT_EQ(Invoke(6, DISPATCH_PROPERTYGET | DISPATCH_METHOD), S_OK);
  EXPECT_EQ(result_.lVal, 8);
  EXPECT_EQ(Invoke(5, DISPATCH_METHOD, {Long(8)}, {DISPID_PROPERTYPUT}), DISP_E_PARAMNOTFOUND);  // not a put
}

TEST_F(TypeInfoInvoke, UnknownMembersAndKinds) {
  EXPECT_EQ(Invoke(99, DISPATCH_METHOD), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Invoke(2, DISPATCH_PROPERTYPUT, {Long(1)}, {DISPID_PROPERTYPUT}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Invoke(2, 0), E_INVALIDARG);

  // A dispinterface has no vtable to call; nor has a dual whose vtable side is missing.
  FakeTypeInfo events(TKIND_DISPATCH, 0, kIidService), lost(TKIND_DISPATCH, TYPEFLAG_FDUAL, kIidService);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(DispInvoke(&service_, &events, 7, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(DispInvoke(&service_, &lost, 7, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(TypeInfoInvoke, FailingMethodIsAnExceptionWithTheErrorInfoItLeft) {
  EXCEPINFO excep{};
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ASSERT_EQ(DispInvoke(static_cast<ITestService*>(&service_), &dispatch_, 7, DISPATCH_METHOD, &none, &result_, &excep,
                       nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(excep.scode, E_ACCESSDENIED);
  EXPECT_EQ(excep.wCode, 0);
  EXPECT_EQ(Text(excep.bstrSource), u"TestService");
  EXPECT_EQ(Text(excep.bstrDescription), u"no schema here");
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);

  // Without a place for it, the error information stays on the thread...
  EXPECT_EQ(Invoke(7, DISPATCH_METHOD), DISP_E_EXCEPTION);
  // ...but does not describe a later failure that left none.
  service_.leaveErrorInfo = false;
  excep = EXCEPINFO{};
  ASSERT_EQ(DispInvoke(static_cast<ITestService*>(&service_), &dispatch_, 7, DISPATCH_METHOD, &none, &result_, &excep,
                       nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(excep.scode, E_ACCESSDENIED);
  EXPECT_EQ(excep.bstrDescription, nullptr);
}

}  // namespace
