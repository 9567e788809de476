#include "dom/CreateChildNode.h"

#include "errors/XMLDOMPtr.h"
#include "errors/CheckResult.h"
#include "errors/ParseErrorInfo.h"

HRESULT CreateChildNode(IXMLDOMDocument* document, IXMLDOMNode* parent, const _bstr_t& name, DOMNodeType type,
                        const _bstr_t& namespaceURI, const _bstr_t& dataTypeName, IXMLDOMNode** node) {
  if (document == nullptr || node == nullptr) return E_INVALIDARG;
  *node = nullptr;
  try {
    VARIANT nodeType;
    VariantInit(&nodeType);
    nodeType.vt = VT_I4;
    nodeType.lVal = type;
    BSTR uri = namespaceURI.length() == 0 ? nullptr : static_cast<BSTR>(namespaceURI);
    CheckResult(document->createNode(nodeType, name, uri, node));

    IXMLDOMNodePtr appendTo(parent);
    if (appendTo == nullptr) {
      IXMLDOMElementPtr root;
      CheckResult(document->get_documentElement(&root));
      appendTo = root;
    }
    if (appendTo != nullptr) {
      IXMLDOMNodePtr appended;
      CheckResult(appendTo->appendChild(*node, &appended));
    }
    CheckResult((*node)->put_dataType(dataTypeName));
  } catch (const _com_error& error) {
    SetParseErrorInfo(*node, error);
    return error.Error();
  }
  return S_OK;
}
