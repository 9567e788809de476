// The schema collection built from the loaded schema cache document.
#include <memory>

#include "cache/CacheFormat.h"
#include "dom/XMLDOMAdapter.h"
#include "errors/CheckResult.h"
#include "module/QZModule.h"
#include "schemas/CreateDocument.h"
#include "schemas/LoadDocument.h"

HRESULT CQZModule::BuildSchemaCollection(IXMLDOMDocument2* cacheDoc, IXMLDOMSchemaCollection** out) {
  if (cacheDoc == nullptr || out == nullptr) return E_INVALIDARG;
  try {
    const IXMLDOMDocument2Ptr pCacheDoc(cacheDoc);
    IXMLDOMSchemaCollectionPtr pCollection;
    CheckResult(CoCreateInstance(CLSID_XMLSchemaCache60, nullptr, CLSCTX_SERVER, __uuidof(IXMLDOMSchemaCollection),
                                 reinterpret_cast<void**>(&pCollection)));

    // The selection namespaces stay on the caller's document.
    CheckResult(pCacheDoc->setProperty(_bstr_t(OLESTR("SelectionNamespaces")), _variant_t(CACHE_SELECTION_NAMESPACES)));
    IXMLDOMNodeListPtr pEntries;
    CheckResult(pCacheDoc->selectNodes(_bstr_t(CACHE_ENTRIES_XPATH), &pEntries));
    LONG count = 0;
    CheckResult(pEntries->get_length(&count));
    for (LONG i = 0; i < count; ++i) {
      IXMLDOMNodePtr pEntry;
      CheckResult(pEntries->nextNode(&pEntry));
      if (pEntry != nullptr) AddCacheEntry(pCollection, pEntry);
    }

    CheckResult(pCollection->QueryInterface(__uuidof(IXMLDOMSchemaCollection), reinterpret_cast<void**>(out)));
    return S_OK;
  } catch (const _com_error& error) {
    return error.Error();
  }
}

void CQZModule::AddCacheEntry(IXMLDOMSchemaCollection* collection, IXMLDOMNode* entry) {
  IXMLDOMElementPtr pElement;
  CheckResult(entry->QueryInterface(__uuidof(IXMLDOMElement), reinterpret_cast<void**>(&pElement)));
  const std::unique_ptr<CXMLDOMAdapter> pAdapter = MakeAdapter(pElement);
  _bstr_t bstrUrn;
  _bstr_t bstrFileName;
  pAdapter->GetAttribute("urn", bstrUrn);
  pAdapter->GetAttribute("Filename", bstrFileName);

  IXMLDOMDocument2Ptr pSchemaDoc;
  CheckResult(CreateSchemaDocument(&pSchemaDoc));
  // A schema file that is missing or does not load is passed over silently.
  if (FAILED(LoadDocument(bstrFileName, pSchemaDoc))) return;

  // The collection keeps its own reference on a schema it takes.
  const HRESULT hr = collection->add(bstrUrn, _variant_t(static_cast<IDispatch*>(pSchemaDoc.GetInterfacePtr())));
  if (FAILED(hr)) RecordFailedEntry(bstrUrn, bstrFileName);
}
