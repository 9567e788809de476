// The shared schema-cache state: filling it from the cache file and handing
// it out.
#include "cache/SharedFiles.h"
#include "errors/CheckResult.h"
#include "module/QZModule.h"
#include "schemas/CreateDocument.h"
#include "schemas/LoadDocument.h"

HRESULT CQZModule::InitSchemaCache() {
  try {
    _bstr_t bstrCachePath;
    CheckResult(GetSchemaCachePath(bstrCachePath));
    // Whether a file is there after this shows at loading.
    if (!FileExists(bstrCachePath)) CreateDefaultCache();

    IXMLDOMDocument2Ptr pCacheDoc;
    CheckResult(CreateDocument(&pCacheDoc));
    CheckResult(LoadDocument(bstrCachePath, pCacheDoc));
    IXMLDOMSchemaCollectionPtr pBuilt;
    CheckResult(BuildSchemaCollection(pCacheDoc, &pBuilt));

    IXMLDOMSchemaCollectionPtr pStored;
    const HRESULT hr =
        pBuilt->QueryInterface(__uuidof(IXMLDOMSchemaCollection), reinterpret_cast<void**>(&pStored));
    // The previous collection is let go outside the lock: freeing its
    // schemas takes a while, and readers need not wait for it.
    IXMLDOMSchemaCollectionPtr pPrevious;
    {
      const std::lock_guard<std::mutex> lock(m_stateLock);
      pPrevious = m_pSchemas;
      m_pSchemas = pStored;
    }
    CheckResult(hr);
    return S_OK;
  } catch (const _com_error& error) {
    return error.Error();
  }
}

HRESULT CQZModule::GetSchemas(IXMLDOMSchemaCollection** ppVal) {
  if (ppVal == nullptr) return E_INVALIDARG;
  const std::lock_guard<std::mutex> lock(m_stateLock);
  if (m_pSchemas == nullptr) return E_NOINTERFACE;
  return m_pSchemas->QueryInterface(__uuidof(IXMLDOMSchemaCollection), reinterpret_cast<void**>(ppVal));
}

// The record never shares a string with its readers or its writer: a shared
// one would be counted and converted from two threads.
_bstr_t CQZModule::GetFailedFileName() {
  const std::lock_guard<std::mutex> lock(m_stateLock);
  return _bstr_t(m_bstrFailedFileName.copy(), false);
}

_bstr_t CQZModule::GetFailedUrn() {
  const std::lock_guard<std::mutex> lock(m_stateLock);
  return _bstr_t(m_bstrFailedUrn.copy(), false);
}

void CQZModule::RecordFailedEntry(const _bstr_t& urn, const _bstr_t& fileName) {
  const std::lock_guard<std::mutex> lock(m_stateLock);
  m_bstrFailedUrn = _bstr_t(urn.copy(), false);
  m_bstrFailedFileName = _bstr_t(fileName.copy(), false);
}
