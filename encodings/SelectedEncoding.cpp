#include "encodings/SelectedEncoding.h"

#include "errors/XMLDOMPtr.h"
#include "encodings/EncodingsFile.h"
#include "errors/CheckResult.h"

_COM_SMARTPTR_TYPEDEF(IXMLDOMProcessingInstruction, __uuidof(IXMLDOMProcessingInstruction));

namespace {

// A new BSTR copy of text, raising E_OUTOFMEMORY when none can be made.
BSTR CopyOf(const _bstr_t& text) {
  BSTR copy = SysAllocStringLen(static_cast<const OLECHAR*>(text), text.length());
  if (copy == nullptr) _com_issue_error(E_OUTOFMEMORY);
  return copy;
}

}  // namespace

HRESULT ApplySelectedEncoding(IXMLDOMDocument2* pDoc) {
  if (pDoc == nullptr) return E_INVALIDARG;
  try {
    IXMLDOMDocument2Ptr pHeld(pDoc);
    _bstr_t bstrData;
    CheckResult(ReadSelectedEncoding(bstrData));

    IXMLDOMProcessingInstructionPtr pInstruction;
    CheckResult(pHeld->createProcessingInstruction(_bstr_t(OLESTR("xml")), bstrData, &pInstruction));
    IXMLDOMNodePtr pNewChild;
    CheckResult(pHeld->appendChild(pInstruction, &pNewChild));
    return S_OK;
  } catch (const _com_error& error) {
    return error.Error();
  }
}

HRESULT ReadSelectedEncodingName(_bstr_t& cachedDeclaration, BSTR* pEncoding) {
  if (pEncoding == nullptr) return E_INVALIDARG;
  try {
    if (cachedDeclaration.length() != 0) {
      *pEncoding = CopyOf(cachedDeclaration);
      return S_OK;
    }
    _bstr_t bstrData;
    CheckResult(ReadSelectedEncoding(bstrData));
    const _bstr_t bstrDeclaration = _bstr_t(OLESTR("<?xml ")) + bstrData + _bstr_t(OLESTR("?>"));
    // Both the answer and the cache are set only once nothing can fail.
    *pEncoding = CopyOf(bstrDeclaration);
    cachedDeclaration = bstrDeclaration;
    return S_OK;
  } catch (const _com_error& error) {
    return error.Error();
  }
}
