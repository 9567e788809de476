// Connectable objects and class information.
#pragma once

#include <oaidl.h>

EXTERN_C const IID IID_IConnectionPointContainer;
EXTERN_C const IID IID_IConnectionPoint;
EXTERN_C const IID IID_IEnumConnectionPoints;
EXTERN_C const IID IID_IEnumConnections;
EXTERN_C const IID IID_IProvideClassInfo;

struct IConnectionPointContainer;
struct IEnumConnections;

typedef struct tagCONNECTDATA {
  IUnknown* pUnk;
  DWORD dwCookie;
} CONNECTDATA, *LPCONNECTDATA;

MIDL_INTERFACE("B196B286-BAB4-101A-B69C-00AA00341D07") IConnectionPoint : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** ppCPC) = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) = 0;
};
typedef IConnectionPoint* LPCONNECTIONPOINT;
QZ_DECLARE_UUIDOF(IConnectionPoint, IID_IConnectionPoint)

MIDL_INTERFACE("B196B285-BAB4-101A-B69C-00AA00341D07") IEnumConnectionPoints : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG cConnections, LPCONNECTIONPOINT* ppCP, ULONG* pcFetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG cConnections) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** ppEnum) = 0;
};
QZ_DECLARE_UUIDOF(IEnumConnectionPoints, IID_IEnumConnectionPoints)

MIDL_INTERFACE("B196B287-BAB4-101A-B69C-00AA00341D07") IEnumConnections : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG cConnections, LPCONNECTDATA rgcd, ULONG* pcFetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG cConnections) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumConnections** ppEnum) = 0;
};
QZ_DECLARE_UUIDOF(IEnumConnections, IID_IEnumConnections)

MIDL_INTERFACE("B196B284-BAB4-101A-B69C-00AA00341D07") IConnectionPointContainer : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) = 0;
};
QZ_DECLARE_UUIDOF(IConnectionPointContainer, IID_IConnectionPointContainer)

MIDL_INTERFACE("B196B283-BAB4-101A-B69C-00AA00341D07") IProvideClassInfo : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) = 0;
};
QZ_DECLARE_UUIDOF(IProvideClassInfo, IID_IProvideClassInfo)
