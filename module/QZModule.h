// The module object of qzschemas: the COM module (lock count, object map,
// class objects, registration), the process-wide schema-cache state (the
// schema collection that every service object hands out, and the cache entry
// that the collection last refused), and the module-wide operations on the
// shared files (where they lie, the default schema cache, the update of its
// basic data types entry and the built-in files written at registration).
#pragma once

#include <windows.h>
#include <atlbase.h>
#include <comdef.h>
#include <msxml6.h>

#include <mutex>

#include "errors/XMLDOMPtr.h"

// The operations read the resources of GetResourceInstance(): the library's
// own once DllMain has initialised the module, else (null) the program's.
class CQZModule : public CComModule {
 public:
  CQZModule() = default;

  // Builds a new schema collection from the schema cache file (writing the
  // default file first when there is none) and stores it. On failure the
  // collection stored before stays in use, except when the new one refuses
  // IXMLDOMSchemaCollection: then none is stored.
  HRESULT InitSchemaCache();

  // A new reference to the stored collection. E_INVALIDARG for a null
  // ppVal, E_NOINTERFACE while no initialisation has succeeded.
  HRESULT GetSchemas(IXMLDOMSchemaCollection** ppVal);

  // Copies of the file name and the URN of the cache entry that a
  // collection refused last; empty while none was refused.
  _bstr_t GetFailedFileName();
  _bstr_t GetFailedUrn();

  // The operations of the shared state and of the shared files, each the
  // free function of its folder with the module's resources and record:
  // schemas/SchemaCollection.h, cache/SharedFiles.h, cache/DefaultCache.h.
  HRESULT BuildSchemaCollection(IXMLDOMDocument2* cacheDoc, IXMLDOMSchemaCollection** out);
  HRESULT GetSchemaCachePath(_bstr_t& full);
  HRESULT GetEncodingsPath(_bstr_t& full);
  HRESULT WriteCacheTemplate(UINT resourceId);
  HRESULT CreateDefaultCache();
  HRESULT UpdateBasicDatatypesEntry();

  // Writes the RT_HTML resource nResourceId into the system directory as
  // pszFileName, byte for byte through a text-mode stream. E_FAIL, after
  // "Failed to register the file : <path>" on standard output, when the
  // file cannot be opened.
  HRESULT WriteResourceToSystemDirectory(UINT nResourceId, LPCSTR pszFileName);

 private:
  void RecordFailedEntry(const _bstr_t& urn, const _bstr_t& fileName);

  IXMLDOMSchemaCollectionPtr m_pSchemas;
  _bstr_t m_bstrFailedFileName;
  _bstr_t m_bstrFailedUrn;
  // Service objects of several threads may initialise and read the state at
  // once; this guards the three members above, never a whole build.
  std::mutex m_stateLock;
};

// The library's one module object.
extern CQZModule _Module;
