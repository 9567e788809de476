// Reads an MSFT type library file into LibraryData. Every offset and count
// is checked against the file: a malformed or truncated file gives a
// failing HRESULT, never a read outside the bytes.
#pragma once

#include "library_data.h"

#include <cstddef>
#include <memory>

namespace qzwin::typelib {

// S_OK with *library set; TYPE_E_UNSUPFORMAT when the bytes are not an MSFT
// type library; TYPE_E_INVDATAREAD when they are one but do not hold together.
HRESULT ReadMsftTypeLib(const BYTE* data, std::size_t size, std::shared_ptr<const LibraryData>* library);

// Whether the bytes start like an MSFT type library.
bool LooksLikeMsft(const BYTE* data, std::size_t size);

}  // namespace qzwin::typelib
