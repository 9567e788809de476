// Class objects registered in this process with CoRegisterClassObject.
#pragma once

#include <objbase.h>

#include "apartment.h"

namespace qzwin::com {

// The class object registered in the calling thread's apartment for clsid
// in a context that serves clsContext, with a reference for the caller; null
// when there is none. When several are registered, the earliest serves.
IUnknown* FindRegisteredClassObject(REFCLSID clsid, DWORD clsContext);

// Revokes what was registered in apartment (the apartment's end).
void RevokeRegistrationsOf(const Apartment& apartment);

// Revokes every registration (the last CoUninitialize of the process).
void RevokeAllRegistrations();

}  // namespace qzwin::com
