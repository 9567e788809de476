// The class objects of DOMDocument60, FreeThreadedDOMDocument60 and
// XMLSchemaCache60, registered as built-in classes when the library loads.
#include <com_object.h>
#include <qzwin/com.h>

#include "document.h"
#include "external_loader.h"
#include "schema_cache.h"

namespace qzwin::msxml {

namespace {

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

struct Registration {
  Registration() {
    InstallExternalLoader();
    RegisterBuiltinClass(CLSID_DOMDocument60, GetStaticClassObject<MakeDocument>, OLESTR("Msxml2.DOMDocument.6.0"));
    RegisterBuiltinClass(CLSID_FreeThreadedDOMDocument60, GetStaticClassObject<MakeFreeThreadedDocument>,
                         OLESTR("Msxml2.FreeThreadedDOMDocument.6.0"));
    RegisterBuiltinClass(CLSID_XMLSchemaCache60, GetStaticClassObject<MakeSchemaCache>, OLESTR("Msxml2.XMLSchemaCache.6.0"));
  }
};

const Registration registration;

}  // namespace

}  // namespace qzwin::msxml
