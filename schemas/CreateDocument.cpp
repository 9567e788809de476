#include "schemas/CreateDocument.h"

#include <objbase.h>

namespace {

HRESULT CreateDocumentOfClass(REFCLSID documentClass, IXMLDOMDocument2** out) {
  if (out == nullptr) return E_INVALIDARG;
  HRESULT hr = CoCreateInstance(documentClass, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument2,
                                reinterpret_cast<void**>(out));
  if (FAILED(hr)) return hr;
  IXMLDOMDocument2* doc = *out;
  if (FAILED(hr = doc->put_async(VARIANT_FALSE))) return hr;
  if (FAILED(hr = doc->put_resolveExternals(VARIANT_TRUE))) return hr;
  if (FAILED(hr = doc->put_validateOnParse(VARIANT_TRUE))) return hr;
  return S_OK;
}

}  // namespace

HRESULT CreateDocument(IXMLDOMDocument2** out) { return CreateDocumentOfClass(CLSID_DOMDocument60, out); }

HRESULT CreateSchemaDocument(IXMLDOMDocument2** out) {
  return CreateDocumentOfClass(CLSID_FreeThreadedDOMDocument60, out);
}
