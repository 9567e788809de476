// QueryInterface over a COM map.
#include "atlcom.h"

namespace ATL {

HRESULT WINAPI AtlInternalQueryInterface(void* pThis, const _ATL_INTMAP_ENTRY* pEntries, REFIID iid,
                                         void** ppvObject) {
  if (ppvObject == NULL) return E_POINTER;
  *ppvObject = NULL;
  // The first entry also answers IUnknown: the object's identity.
  bool identity = InlineIsEqualUnknown(iid);
  for (const _ATL_INTMAP_ENTRY* entry = pEntries; entry->piid != NULL; ++entry) {
    if (identity || ::IsEqualIID(iid, *entry->piid)) {
      IUnknown* unknown = static_cast<IUnknown*>(entry->pfnCast(pThis));
      unknown->AddRef();
      *ppvObject = unknown;
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

}  // namespace ATL
