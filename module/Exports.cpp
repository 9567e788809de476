// The library's exports: its entry point, its class objects and its
// self-registration.
#include <windows.h>

#include <qzschemas.h>

#include "module/QZModule.h"
#include "resources/resource.h"

// The classes the library makes (the service folder defines the map).
extern _ATL_OBJMAP_ENTRY ObjectMap[];

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID /*lpReserved*/) {
  if (dwReason == DLL_PROCESS_ATTACH) {
    _Module.Init(ObjectMap, hInstance, &LIBID_QZSCHEMASLib);
    DisableThreadLibraryCalls(hInstance);
  } else if (dwReason == DLL_PROCESS_DETACH) {
    _Module.Term();
  }
  return TRUE;
}

// S_OK once no object and no locked class factory holds the module.
STDAPI DllCanUnloadNow() { return _Module.GetLockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  return _Module.GetClassObject(rclsid, riid, ppv);
}

// The built-in files and the cache update come first; what happens to them
// does not decide the result, the registry entries and type library do.
STDAPI DllRegisterServer() {
  _Module.WriteResourceToSystemDirectory(IDR_SCHEMA_CACHE_HELP, "qzschemaerr.htm");
  _Module.WriteResourceToSystemDirectory(IDR_BASIC_DATATYPES_SCHEMA, "Tavel-basic-datatypes.xml");
  _Module.WriteResourceToSystemDirectory(IDR_STANDARD_REPORT_SCHEMA, "Standard-report.xml");
  _Module.UpdateBasicDatatypesEntry();
  return _Module.RegisterServer(TRUE);
}

// Leaves the built-in files and the schema cache in place.
STDAPI DllUnregisterServer() { return _Module.UnregisterServer(TRUE); }
