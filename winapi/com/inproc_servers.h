// In-process servers that activation has loaded from InprocServer32 paths.
#pragma once

#include <string>

#include <objbase.h>

namespace qzwin::com {

// How long a server that is not apartment threaded stays loaded after it
// first said it can be unloaded (the default of CoFreeUnusedLibraries).
constexpr DWORD kDefaultUnloadDelayMs = 10 * 60 * 1000;

// Asks the server at path for the class object of clsid, loading it first
// if it is not loaded. apartmentThreaded: its ThreadingModel is Apartment or
// missing, so it is unloaded without delay.
HRESULT GetClassObjectFromServer(const std::string& path, bool apartmentThreaded, REFCLSID clsid, REFIID riid,
                                 void** ppv);

// Unloads the servers whose DllCanUnloadNow says S_OK, the ones that are
// not apartment threaded only once they have said so for unloadDelayMs.
void FreeUnusedServers(DWORD unloadDelayMs);

// Unloads every server, whatever it says.
void UnloadAllServers();

}  // namespace qzwin::com
