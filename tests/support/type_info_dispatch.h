// IDispatch over the type information of a dual interface, as a COM server
// built on type libraries implements it: names and calls go through
// DispGetIDsOfNames and DispInvoke. Shared by the tests and the benchmarks;
// the object sets `info` and implements IUnknown and its own methods.
#pragma once

#include <oleauto.h>

namespace qztest {

template <class Interface>
class TypeInfoDispatch : public Interface {
 public:
  ITypeInfo* info = nullptr;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return DispGetIDsOfNames(info, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* argErr) override {
    return DispInvoke(this, info, id, flags, params, result, excep, argErr);
  }
};

}  // namespace qztest
