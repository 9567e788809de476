// CoGetClassObject and CoCreateInstance. A class object is looked for in
// this order: registered in the process, built into the stand-in, then the
// registry's HKCR\CLSID\{clsid}\InprocServer32.
#include <string>

#include <strings.h>

#include <objbase.h>
#include <qzwin/registry.h>

#include "apartment.h"
#include "builtin_classes.h"
#include "class_table.h"
#include "guid_format.h"
#include "inproc_servers.h"
#include "registry_values.h"

namespace qzwin::com {
namespace {

struct InprocServerEntry {
  std::string path;
  bool apartmentThreaded;
};

bool ReadInprocServer(REFCLSID clsid, InprocServerEntry* entry) {
  char clsidText[CHARS_IN_GUID];
  FormatGuid(clsid, clsidText);
  // The key and its two values, as one registration.
  const qzwin::RegistryReadGroup reads;
  const ClassesRootKey key(std::string("CLSID\\") + clsidText + "\\InprocServer32");
  if (!key.ReadString(nullptr, &entry->path)) return false;
  // No ThreadingModel means the main single-threaded apartment: unloaded
  // without delay, like Apartment.
  std::string model;
  entry->apartmentThreaded =
      !key.ReadString("ThreadingModel", &model) || model.empty() || strcasecmp(model.c_str(), "Apartment") == 0;
  return true;
}

}  // namespace
}  // namespace qzwin::com

using namespace qzwin::com;

STDAPI CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_INVALIDARG;
  *ppv = nullptr;
  if (!ThreadIsInitialised()) return CO_E_NOTINITIALIZED;

  if (IUnknown* registered = FindRegisteredClassObject(rclsid, dwClsContext)) {
    HRESULT hr = registered->QueryInterface(riid, ppv);
    registered->Release();
    return hr;
  }
  if ((dwClsContext & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
  if (qzwin::BuiltinClassObjectGetter getClassObject = FindBuiltinClass(rclsid)) return getClassObject(riid, ppv);

  InprocServerEntry server;
  if (!ReadInprocServer(rclsid, &server)) return REGDB_E_CLASSNOTREG;
  return GetClassObjectFromServer(server.path, server.apartmentThreaded, rclsid, riid, ppv);
}

STDAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  // Aggregation rules (an outer object may only ask for IUnknown) are the
  // class factory's to enforce, as on Windows.
  hr = factory->CreateInstance(pUnkOuter, riid, ppv);
  factory->Release();
  return hr;
}
