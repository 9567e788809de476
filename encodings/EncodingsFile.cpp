#include "encodings/EncodingsFile.h"

#include <objbase.h>
#include <msxml6.h>

#include "cache/SharedFiles.h"
#include "dom/XMLDOMAdapterList.h"
#include "errors/XMLDOMPtr.h"
#include "errors/CheckResult.h"
#include "schemas/XMLDocument.h"

namespace {

// The document CreateDocument makes, with the selection namespaces set
// before the three flags.
IXMLDOMDocument2Ptr CreateEncodingsDocument() {
  IXMLDOMDocument2Ptr pDocument;
  CheckResult(CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument2,
                               reinterpret_cast<void**>(&pDocument)));
  CheckResult(pDocument->setProperty(_bstr_t(OLESTR("SelectionNamespaces")),
                                     _variant_t(ENCODINGS_SELECTION_NAMESPACES)));
  CheckResult(pDocument->put_async(VARIANT_FALSE));
  CheckResult(pDocument->put_resolveExternals(VARIANT_TRUE));
  CheckResult(pDocument->put_validateOnParse(VARIANT_TRUE));
  return pDocument;
}

}  // namespace

HRESULT ReadSelectedEncoding(_bstr_t& text) {
  try {
    // Not looked at: an unresolved path stays empty and the load fails on it.
    _bstr_t bstrPath;
    ResolveSharedFile(ENCODINGS_RELATIVE_PATH, bstrPath);

    _bstr_t bstrSelected(OLESTR(""));
    IXMLDOMDocument2Ptr pDocument = CreateEncodingsDocument();
    CXMLDocument document;
    CheckResult(document.SetDocument(pDocument));
    CheckResult(document.LoadFile(bstrPath));

    // Not looked at either: a selection that yields nothing leaves the text
    // empty. Several active entries: the last one wins.
    CXMLDOMAdapterList entries;
    document.SelectNodes(ACTIVE_ENCODINGS_XPATH, entries);
    while (CXMLDOMAdapter* pEntry = entries.Next()) pEntry->GetAttribute(ENCODING_TYPE_ATTRIBUTE, bstrSelected);
    text = bstrSelected;
    return S_OK;
  } catch (const _com_error& error) {
    return error.Error();
  }
}
