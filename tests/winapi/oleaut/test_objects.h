// Objects for the OLE Automation tests: a counting COM object and a
// ready-made error information object.
#pragma once

#include <oleauto.h>

namespace oleauttest {

// Counts its references and answers IUnknown, IDispatch (whose value
// property is `value`) and, when asked to, ISupportErrorInfo.
class CountingObject : public IDispatch, public ISupportErrorInfo {
 public:
  // Starts with no references: the test holds it by value and checks refs().
  ULONG refs() const { return refs_; }
  bool supportsErrorInfo = false;
  LONG value = 42;
  int queries = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    ++queries;
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch)) {
      *ppv = static_cast<IDispatch*>(this);
    } else if (riid == __uuidof(ISupportErrorInfo) && supportsErrorInfo) {
      *ppv = static_cast<ISupportErrorInfo*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (id != DISPID_VALUE || (flags & DISPATCH_PROPERTYGET) == 0 || result == nullptr) return DISP_E_MEMBERNOTFOUND;
    result->vt = VT_I4;
    result->lVal = value;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
    return riid == __uuidof(IDispatch) ? S_OK : S_FALSE;
  }

 private:
  ULONG refs_ = 0;
};

// A new error information object with one reference for the caller.
inline IErrorInfo* NewErrorInfo(const OLECHAR* description, const OLECHAR* source = nullptr,
                                const GUID& guid = GUID{}) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return nullptr;
  create->SetGUID(guid);
  create->SetDescription(const_cast<LPOLESTR>(description));
  create->SetSource(const_cast<LPOLESTR>(source));
  IErrorInfo* info = nullptr;
  create->QueryInterface(__uuidof(IErrorInfo), reinterpret_cast<void**>(&info));
  create->Release();
  return info;
}

}  // namespace oleauttest
