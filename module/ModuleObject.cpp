// The library's one module object, made by the C runtime before DllMain
// first runs; its destructor releases the shared schema-cache state. Its
// operations on the shared files hand the module's resources to the
// folders that do the work.
#include "cache/DefaultCache.h"
#include "cache/SharedFiles.h"
#include "module/QZModule.h"
#include "schemas/SchemaCollection.h"

CQZModule _Module;

HRESULT CQZModule::BuildSchemaCollection(IXMLDOMDocument2* cacheDoc, IXMLDOMSchemaCollection** out) {
  return ::BuildSchemaCollection(cacheDoc, out, [this](const _bstr_t& urn, const _bstr_t& fileName) {
    RecordFailedEntry(urn, fileName);
  });
}

HRESULT CQZModule::GetSchemaCachePath(_bstr_t& full) { return ::GetSchemaCachePath(full); }

HRESULT CQZModule::GetEncodingsPath(_bstr_t& full) { return ::GetEncodingsPath(full); }

HRESULT CQZModule::WriteCacheTemplate(UINT resourceId) {
  return ::WriteCacheTemplate(GetResourceInstance(), resourceId);
}

HRESULT CQZModule::CreateDefaultCache() { return ::CreateDefaultCache(GetResourceInstance()); }

HRESULT CQZModule::UpdateBasicDatatypesEntry() { return ::UpdateBasicDatatypesEntry(GetResourceInstance()); }
