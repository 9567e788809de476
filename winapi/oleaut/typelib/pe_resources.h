// Finds a TYPELIB resource inside the bytes of a Windows PE module, such as
// the stdole2.tlb and msxml6.dll that Wine ships, so that those libraries
// load as they do on Windows. Bounds-checked like the type library reader.
#pragma once

#include <windef.h>

#include <cstddef>

namespace qzwin::typelib {

bool LooksLikePeModule(const BYTE* data, std::size_t size);

// The bytes of resource TYPELIB `id` (any language), pointing into `data`;
// false when the module has none or its resource table does not hold together.
bool FindPeTypeLibResource(const BYTE* data, std::size_t size, WORD id, const BYTE** resource,
                           std::size_t* resourceSize);

}  // namespace qzwin::typelib
