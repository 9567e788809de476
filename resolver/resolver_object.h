// The resolver object behind CLSID_PlatformPathResolver: stateless, and free
// threaded, so one object may serve every apartment.
#pragma once

#include <atlbase.h>
#include <atlcom.h>

#include "PlatformPathResolver.h"
#include "resource.h"

namespace resolver {

class ATL_NO_VTABLE CPlatformPathResolver
    : public CComObjectRootEx<CComMultiThreadModel>,
      public CComCoClass<CPlatformPathResolver, &CLSID_PlatformPathResolver>,
      public IDispatchImpl<IPlatformPathResolver, &IID_IPlatformPathResolver, &LIBID_PlatformPathResolverLib> {
 public:
  DECLARE_REGISTRY_RESOURCEID(IDR_PLATFORM_PATH_RESOLVER)

  BEGIN_COM_MAP(CPlatformPathResolver)
  COM_INTERFACE_ENTRY(IPlatformPathResolver)
  COM_INTERFACE_ENTRY(IDispatch)
  END_COM_MAP()

  STDMETHOD(get_CommonDirectory)(BSTR* directory) override;
  STDMETHOD(get_IsOverridden)(VARIANT_BOOL* overridden) override;
  STDMETHOD(ResolveSharedPath)(BSTR relativePath, BSTR* fullPath) override;
};

}  // namespace resolver
