// IUnknown and IClassFactory.
#pragma once

#include <guiddef.h>
#include <winerror.h>
#include <qzwin/uuidof.h>

#define STDMETHOD(method) virtual HRESULT STDMETHODCALLTYPE method
#define STDMETHOD_(type, method) virtual type STDMETHODCALLTYPE method
#define STDMETHODIMP HRESULT STDMETHODCALLTYPE
#define STDMETHODIMP_(type) type STDMETHODCALLTYPE
#define PURE = 0
#define STDAPI EXTERN_C HRESULT STDAPICALLTYPE
#define STDAPI_(type) EXTERN_C type STDAPICALLTYPE

EXTERN_C const IID IID_IUnknown;
EXTERN_C const IID IID_IClassFactory;

MIDL_INTERFACE("00000000-0000-0000-C000-000000000046") IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

  template <class Q>
  HRESULT QueryInterface(Q** pp) {
    return QueryInterface(__uuidof(Q), reinterpret_cast<void**>(pp));
  }
};
typedef IUnknown* LPUNKNOWN;
QZ_DECLARE_UUIDOF(IUnknown, IID_IUnknown)

MIDL_INTERFACE("00000001-0000-0000-C000-000000000046") IClassFactory : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) = 0;
};
typedef IClassFactory* LPCLASSFACTORY;
QZ_DECLARE_UUIDOF(IClassFactory, IID_IClassFactory)
