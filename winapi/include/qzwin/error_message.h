// The texts behind _com_error::ErrorMessage.
#pragma once

#include <winerror.h>

namespace qzwin {

// The text of an HRESULT: the system's message where the stand-in knows it,
// "IDispatch error #n" for a dispatch code, else "Unknown error 0x...".
// Null when out of memory. Free with FreeErrorMessage.
TCHAR* NewErrorMessage(HRESULT hr);
void FreeErrorMessage(TCHAR* message);

}  // namespace qzwin
