#include "schemas/SchemaCollection.h"

#include <memory>

#include "dom/XMLDOMAdapter.h"
#include "errors/CheckResult.h"
#include "errors/XMLDOMPtr.h"
#include "schemas/CreateDocument.h"
#include "schemas/LoadDocument.h"

namespace {

// Offers the schema of one cache entry to collection (see
// BuildSchemaCollection); failures other than a refused add are raised.
void AddCacheEntry(IXMLDOMSchemaCollection* collection, IXMLDOMNode* entry, const RefusedEntryHandler& onRefused) {
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
  if (FAILED(hr)) onRefused(bstrUrn, bstrFileName);
}

}  // namespace

HRESULT BuildSchemaCollection(IXMLDOMDocument2* cacheDoc, IXMLDOMSchemaCollection** out,
                              const RefusedEntryHandler& onRefused) {
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
      if (pEntry != nullptr) AddCacheEntry(pCollection, pEntry, onRefused);
    }

    CheckResult(pCollection->QueryInterface(__uuidof(IXMLDOMSchemaCollection), reinterpret_cast<void**>(out)));
    return S_OK;
  } catch (const _com_error& error) {
    return error.Error();
  }
}
