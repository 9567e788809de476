// Class objects registered in this process with CoRegisterClassObject.
#pragma once

#include <objbase.h>

namespace qzwin::com {

// The class object registered for clsid in a context that serves
// clsContext, with a reference for the caller; null when there is none.
// When several are registered, the earliest registration serves.
IUnknown* FindRegisteredClassObject(REFCLSID clsid, DWORD clsContext);

// Revokes what the calling thread registered (its last CoUninitialize).
void RevokeRegistrationsOfThisThread();

// Revokes every registration (the last CoUninitialize of the process).
void RevokeAllRegistrations();

}  // namespace qzwin::com
