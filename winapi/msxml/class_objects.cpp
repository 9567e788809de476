// The class objects of DOMDocument60, FreeThreadedDOMDocument60 and
// XMLSchemaCache60, registered as built-in classes when the library loads.
#include <atomic>

#include <qzwin/com.h>

#include "document.h"
#include "external_loader.h"
#include "schema_cache.h"

namespace qzwin::msxml {

namespace {

template <class Make>
class ClassFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // The factories are static objects that live as long as the library.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
    IUnknown* object = Make()();
    if (object == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(riid, ppvObject);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

struct MakeDocument {
  IUnknown* operator()() const { return static_cast<IXMLDOMDocument2*>(new Document(CLSID_DOMDocument60)); }
};
struct MakeFreeThreadedDocument {
  IUnknown* operator()() const {
    return static_cast<IXMLDOMDocument2*>(new Document(CLSID_FreeThreadedDOMDocument60));
  }
};
struct MakeSchemaCache {
  IUnknown* operator()() const { return static_cast<IXMLDOMSchemaCollection*>(new SchemaCache()); }
};

template <class Make>
HRESULT GetClassObject(REFIID riid, void** ppv) {
  static ClassFactory<Make> factory;
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  return factory.QueryInterface(riid, ppv);
}

struct Registration {
  Registration() {
    InstallExternalLoader();
    RegisterBuiltinClass(CLSID_DOMDocument60, GetClassObject<MakeDocument>, OLESTR("Msxml2.DOMDocument.6.0"));
    RegisterBuiltinClass(CLSID_FreeThreadedDOMDocument60, GetClassObject<MakeFreeThreadedDocument>,
                         OLESTR("Msxml2.FreeThreadedDOMDocument.6.0"));
    RegisterBuiltinClass(CLSID_XMLSchemaCache60, GetClassObject<MakeSchemaCache>, OLESTR("Msxml2.XMLSchemaCache.6.0"));
  }
};

const Registration registration;

}  // namespace

}  // namespace qzwin::msxml
