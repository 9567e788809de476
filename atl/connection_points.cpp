// The enumerator of an empty connection-point map.
#include "atlcom.h"

namespace ATL {
namespace {

class ATL_NO_VTABLE CEmptyConnectionPointEnum : public CComObjectRootEx<CComMultiThreadModel>,
                                                public IEnumConnectionPoints {
 public:
  BEGIN_COM_MAP(CEmptyConnectionPointEnum)
  COM_INTERFACE_ENTRY(IEnumConnectionPoints)
  END_COM_MAP()

  STDMETHOD(Next)(ULONG cConnections, LPCONNECTIONPOINT* ppCP, ULONG* pcFetched) override {
    if (ppCP == NULL || (cConnections != 1 && pcFetched == NULL)) return E_POINTER;
    if (pcFetched != NULL) *pcFetched = 0;
    return cConnections == 0 ? S_OK : S_FALSE;
  }
  STDMETHOD(Skip)(ULONG cConnections) override { return cConnections == 0 ? S_OK : S_FALSE; }
  STDMETHOD(Reset)() override { return S_OK; }
  STDMETHOD(Clone)(IEnumConnectionPoints** ppEnum) override { return AtlCreateEmptyConnectionPointEnum(ppEnum); }
};

}  // namespace

HRESULT WINAPI AtlCreateEmptyConnectionPointEnum(IEnumConnectionPoints** ppEnum) {
  if (ppEnum == NULL) return E_POINTER;
  *ppEnum = NULL;
  CComObject<CEmptyConnectionPointEnum>* enumerator = NULL;
  HRESULT hr = CComObject<CEmptyConnectionPointEnum>::CreateInstance(&enumerator);
  if (FAILED(hr)) return hr;
  return enumerator->QueryInterface(IID_IEnumConnectionPoints, reinterpret_cast<void**>(ppEnum));
}

}  // namespace ATL
