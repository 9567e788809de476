// The type information behind IDispatchImpl.
#include "atlcom.h"

namespace ATL {

HRESULT CComTypeInfoHolder::EnsureTI(LCID lcid) {
  if (m_pInfo != NULL) return S_OK;
  if (_pAtlModule == NULL) return E_UNEXPECTED;
  CComCritSecLock<CComCriticalSection> lock(_pAtlModule->m_csObjMap);
  if (m_pInfo != NULL) return S_OK;
  ITypeLib* typeLib = NULL;
  HRESULT hr = ::LoadRegTypeLib(*m_plibid, m_wMajor, m_wMinor, lcid, &typeLib);
  if (FAILED(hr)) return hr;
  ITypeInfo* info = NULL;
  hr = typeLib->GetTypeInfoOfGuid(*m_pguid, &info);
  typeLib->Release();
  if (FAILED(hr)) return hr;
  hr = _pAtlModule->AddTermFunc(Cleanup, reinterpret_cast<DWORD_PTR>(this));
  if (FAILED(hr)) {
    info->Release();
    return hr;
  }
  m_pInfo = info;
  return S_OK;
}

void WINAPI CComTypeInfoHolder::Cleanup(DWORD_PTR dw) {
  CComTypeInfoHolder* holder = reinterpret_cast<CComTypeInfoHolder*>(dw);
  if (holder->m_pInfo != NULL) holder->m_pInfo->Release();
  holder->m_pInfo = NULL;
}

HRESULT CComTypeInfoHolder::GetTI(LCID lcid, ITypeInfo** ppInfo) {
  if (ppInfo == NULL) return E_POINTER;
  *ppInfo = NULL;
  HRESULT hr = EnsureTI(lcid);
  if (FAILED(hr)) return hr;
  m_pInfo->AddRef();
  *ppInfo = m_pInfo;
  return S_OK;
}

HRESULT CComTypeInfoHolder::GetTypeInfo(UINT itinfo, LCID lcid, ITypeInfo** pptinfo) {
  if (itinfo != 0) return DISP_E_BADINDEX;
  return GetTI(lcid, pptinfo);
}

HRESULT CComTypeInfoHolder::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgdispid) {
  HRESULT hr = EnsureTI(lcid);
  if (FAILED(hr)) return hr;
  return m_pInfo->GetIDsOfNames(rgszNames, cNames, rgdispid);
}

HRESULT CComTypeInfoHolder::Invoke(IDispatch* p, DISPID dispidMember, REFIID, LCID lcid, WORD wFlags,
                                   DISPPARAMS* pdispparams, VARIANT* pvarResult, EXCEPINFO* pexcepinfo,
                                   UINT* puArgErr) {
  HRESULT hr = EnsureTI(lcid);
  if (FAILED(hr)) return hr;
  return m_pInfo->Invoke(p, dispidMember, wFlags, pdispparams, pvarResult, pexcepinfo, puArgErr);
}

}  // namespace ATL
