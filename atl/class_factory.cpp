// The standard class object.
#include "atlcom.h"

namespace ATL {

STDMETHODIMP CComClassFactory::CreateInstance(LPUNKNOWN pUnkOuter, REFIID riid, void** ppvObj) {
  if (ppvObj == NULL) return E_POINTER;
  *ppvObj = NULL;
  // An aggregated object can only hand its outer object an IUnknown.
  if (pUnkOuter != NULL && !InlineIsEqualUnknown(riid)) return CLASS_E_NOAGGREGATION;
  if (m_pfnCreateInstance == NULL) return E_UNEXPECTED;
  return m_pfnCreateInstance(pUnkOuter, riid, ppvObj);
}

STDMETHODIMP CComClassFactory::LockServer(BOOL fLock) {
  if (fLock) {
    AtlModuleLock();
  } else {
    AtlModuleUnlock();
  }
  return S_OK;
}

}  // namespace ATL
