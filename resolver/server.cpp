// The resolver's in-process server: its module, object map and the four
// exports. Registering it is what makes the platform "installed".
#include <atlbase.h>
#include <atlcom.h>

#include "resolver_object.h"

namespace {

CComModule g_module;

BEGIN_OBJECT_MAP(ObjectMap)
OBJECT_ENTRY(CLSID_PlatformPathResolver, resolver::CPlatformPathResolver)
END_OBJECT_MAP()

// The library version the resolver registers: 1.0, as its IDL says.
constexpr WORD kTypeLibMajor = 1;
constexpr WORD kTypeLibMinor = 0;

bool TypeLibRegistered() {
  BSTR path = NULL;
  HRESULT hr = QueryPathOfRegTypeLib(LIBID_PlatformPathResolverLib, kTypeLibMajor, kTypeLibMinor, 0, &path);
  SysFreeString(path);
  return SUCCEEDED(hr);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module.Init(ObjectMap, instance, &LIBID_PlatformPathResolverLib);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    g_module.Term();
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) { return g_module.GetClassObject(rclsid, riid, ppv); }

STDAPI DllCanUnloadNow() { return g_module.GetLockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return g_module.RegisterServer(TRUE); }

// A resolver that is not registered unregisters without error, although
// its type library can only be unregistered once.
STDAPI DllUnregisterServer() {
  HRESULT hr = g_module.UnregisterServer(FALSE);
  if (SUCCEEDED(hr) && TypeLibRegistered()) hr = g_module.UnRegisterTypeLib();
  return hr;
}
