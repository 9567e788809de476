// The resolver object behind CLSID_PlatformPathResolver.
#pragma once

#include "PlatformPathResolver.h"

namespace resolver {

// A new resolver, asked for riid. *ppv is null on failure.
HRESULT CreateResolver(REFIID riid, void** ppv);

}  // namespace resolver
