#include "document.h"

#include <strings.h>

#include <oleauto.h>

#include "declaration.h"
#include "element.h"
#include "node_list.h"
#include "qualified_name.h"
#include "utf.h"
#include "validation.h"

namespace qzwin::msxml {

Document::Document(const CLSID& clsid)
    : NodeImpl(std::make_shared<Tree>(xmlNewDoc(BAD_CAST "1.0")), nullptr, nullptr), clsid_(clsid) {
  ResetTree(tree(), reinterpret_cast<xmlNodePtr>(tree()->doc()));
}

Document::~Document() {
  if (schemas_ != nullptr) schemas_->Release();
}

const SelectionNamespaces& SelectionNamespacesOf(IXMLDOMDocument2* document) {
  static const SelectionNamespaces none;
  return document != nullptr ? static_cast<Document*>(document)->selectionNamespaces() : none;
}

xmlDocPtr XmlDocOf(IUnknown* object) {
  NodeBase* base = object != nullptr ? NodeFromInterface(object) : nullptr;
  return base != nullptr && base->xml() != nullptr ? base->xml()->doc : nullptr;
}

void Document::ResetToEmpty() {
  auto empty = std::make_shared<Tree>(xmlNewDoc(BAD_CAST "1.0"));
  ResetTree(empty, reinterpret_cast<xmlNodePtr>(empty->doc()));
}

HRESULT Document::MakeNode(xmlNodePtr node, IXMLDOMNode** out) {
  if (node == nullptr) return E_OUTOFMEMORY;
  tree()->KeepDetached(node);
  return WrapNode(*this, node, out);
}

namespace {

bool IsName(const std::string& name) { return !name.empty() && xmlValidateName(BAD_CAST name.c_str(), 0) == 0; }

}  // namespace

HRESULT Document::get_doctype(IXMLDOMDocumentType** documentType) {
  if (documentType == nullptr) return E_INVALIDARG;
  *documentType = nullptr;
  xmlDtdPtr dtd = tree()->doc()->intSubset;
  if (dtd == nullptr) return S_FALSE;
  return WrapNodeAs(*this, reinterpret_cast<xmlNodePtr>(dtd), documentType);
}

HRESULT Document::get_documentElement(IXMLDOMElement** DOMElement) {
  if (DOMElement == nullptr) return E_INVALIDARG;
  *DOMElement = nullptr;
  xmlNodePtr root = xmlDocGetRootElement(tree()->doc());
  if (root == nullptr) return S_FALSE;
  return WrapNodeAs(*this, root, DOMElement);
}

HRESULT Document::putref_documentElement(IXMLDOMElement* DOMElement) {
  if (DOMElement == nullptr) return E_INVALIDARG;
  xmlNodePtr root = xmlDocGetRootElement(tree()->doc());
  if (root == nullptr) return appendChild(DOMElement, nullptr);
  IXMLDOMNode* old = nullptr;
  HRESULT hr = WrapNode(*this, root, &old);
  if (FAILED(hr)) return hr;
  hr = replaceChild(DOMElement, old, nullptr);
  old->Release();
  return hr;
}

HRESULT Document::createElement(BSTR tagName, IXMLDOMElement** element) {
  if (element == nullptr) return E_INVALIDARG;
  *element = nullptr;
  std::string name = BstrToUtf8(tagName);
  if (!IsName(name)) return E_FAIL;
  IXMLDOMNode* node = nullptr;
  HRESULT hr = MakeNode(xmlNewDocNode(tree()->doc(), nullptr, BAD_CAST name.c_str(), nullptr), &node);
  if (FAILED(hr)) return hr;
  hr = node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element));
  node->Release();
  return hr;
}

namespace {

template <class I>
HRESULT As(IXMLDOMNode* node, HRESULT hr, I** out) {
  if (FAILED(hr)) return hr;
  hr = node->QueryInterface(__uuidof(I), reinterpret_cast<void**>(out));
  node->Release();
  return hr;
}

}  // namespace

HRESULT Document::createDocumentFragment(IXMLDOMDocumentFragment** docFrag) {
  if (docFrag == nullptr) return E_INVALIDARG;
  *docFrag = nullptr;
  IXMLDOMNode* node = nullptr;
  HRESULT hr = MakeNode(xmlNewDocFragment(tree()->doc()), &node);
  return As(node, hr, docFrag);
}

HRESULT Document::createTextNode(BSTR data, IXMLDOMText** text) {
  if (text == nullptr) return E_INVALIDARG;
  *text = nullptr;
  IXMLDOMNode* node = nullptr;
  HRESULT hr = MakeNode(xmlNewDocText(tree()->doc(), BAD_CAST BstrToUtf8(data).c_str()), &node);
  return As(node, hr, text);
}

HRESULT Document::createComment(BSTR data, IXMLDOMComment** comment) {
  if (comment == nullptr) return E_INVALIDARG;
  *comment = nullptr;
  IXMLDOMNode* node = nullptr;
  HRESULT hr = MakeNode(xmlNewDocComment(tree()->doc(), BAD_CAST BstrToUtf8(data).c_str()), &node);
  return As(node, hr, comment);
}

HRESULT Document::createCDATASection(BSTR data, IXMLDOMCDATASection** cdata) {
  if (cdata == nullptr) return E_INVALIDARG;
  *cdata = nullptr;
  std::string text = BstrToUtf8(data);
  IXMLDOMNode* node = nullptr;
  HRESULT hr = MakeNode(xmlNewCDataBlock(tree()->doc(), BAD_CAST text.c_str(), static_cast<int>(text.size())), &node);
  return As(node, hr, cdata);
}

HRESULT Document::createProcessingInstruction(BSTR target, BSTR data, IXMLDOMProcessingInstruction** pi) {
  if (pi == nullptr) return E_INVALIDARG;
  *pi = nullptr;
  std::string name = BstrToUtf8(target);
  if (!IsName(name)) return E_FAIL;
  std::string text = BstrToUtf8(data);
  if (name == "xml") {
    // The declaration's data must read as its pseudo-attributes now; it is
    // kept as typed.
    Declaration declaration;
    HRESULT hr = ParseDeclaration(data != nullptr ? std::optional<std::string_view>(text) : std::nullopt, &declaration);
    if (FAILED(hr)) return hr;
  }
  IXMLDOMNode* node = nullptr;
  HRESULT hr = MakeNode(xmlNewDocPI(tree()->doc(), BAD_CAST name.c_str(), BAD_CAST text.c_str()), &node);
  return As(node, hr, pi);
}

HRESULT Document::createAttribute(BSTR name, IXMLDOMAttribute** attribute) {
  if (attribute == nullptr) return E_INVALIDARG;
  *attribute = nullptr;
  std::string qname = BstrToUtf8(name);
  if (!IsName(qname)) return E_FAIL;
  IXMLDOMNode* node = nullptr;
  HRESULT hr = MakeNode(
      reinterpret_cast<xmlNodePtr>(xmlNewDocProp(tree()->doc(), BAD_CAST qname.c_str(), BAD_CAST "")), &node);
  return As(node, hr, attribute);
}

HRESULT Document::getElementsByTagName(BSTR tagName, IXMLDOMNodeList** resultList) {
  if (resultList == nullptr || tagName == nullptr) return E_INVALIDARG;
  *resultList = new NodeList(ScopeOf(*this), ElementsByTagName(xml(), BstrToUtf8(tagName)));
  return S_OK;
}

namespace {

// createNode's type: a DOMNodeType number or its name ("element", ...).
bool NodeTypeOf(const VARIANT& type, LONG* out) {
  if (type.vt == VT_BSTR) {
    static const char* const names[] = {"",        "element", "attribute", "text", "cdatasection",
                                        "entityreference", "entity", "processinginstruction", "comment",
                                        "document", "documenttype", "documentfragment", "notation"};
    std::string name = BstrToUtf8(type.bstrVal);
    for (LONG i = 1; i <= 12; ++i) {
      if (strcasecmp(name.c_str(), names[i]) == 0) {
        *out = i;
        return true;
      }
    }
    return false;
  }
  VARIANT number;
  VariantInit(&number);
  if (FAILED(VariantChangeType(&number, &type, 0, VT_I4))) return false;
  *out = number.lVal;
  return true;
}

}  // namespace

HRESULT Document::createNode(VARIANT Type, BSTR name, BSTR namespaceURI, IXMLDOMNode** node) {
  if (node == nullptr) return E_INVALIDARG;
  *node = nullptr;
  LONG type = 0;
  if (!NodeTypeOf(Type, &type)) return E_INVALIDARG;
  std::string text = BstrToUtf8(name);
  std::string uri = BstrToUtf8(namespaceURI);
  xmlDocPtr doc = tree()->doc();
  switch (type) {
    case NODE_ELEMENT: {
      QualifiedName qname;
      if (!SplitQualifiedName(text, &qname)) return E_FAIL;
      if (uri.empty() && !qname.prefix.empty()) return E_FAIL;  // a prefix needs a namespace
      xmlNodePtr element = xmlNewDocNode(doc, nullptr, BAD_CAST qname.local.c_str(), nullptr);
      if (element == nullptr) return E_OUTOFMEMORY;
      if (!uri.empty()) {
        // The element declares its own namespace, so that it serializes
        // correctly wherever it goes.
        xmlNsPtr ns = xmlNewNs(element, BAD_CAST uri.c_str(),
                               qname.prefix.empty() ? nullptr : BAD_CAST qname.prefix.c_str());
        xmlSetNs(element, ns);
      }
      return MakeNode(element, node);
    }
    case NODE_ATTRIBUTE:
      if (!IsName(text)) return E_FAIL;
      return MakeNode(reinterpret_cast<xmlNodePtr>(xmlNewDocProp(doc, BAD_CAST text.c_str(), BAD_CAST "")), node);
    case NODE_TEXT:
      return MakeNode(xmlNewDocText(doc, BAD_CAST ""), node);
    case NODE_CDATA_SECTION:
      return MakeNode(xmlNewCDataBlock(doc, BAD_CAST "", 0), node);
    case NODE_COMMENT:
      return MakeNode(xmlNewDocComment(doc, BAD_CAST ""), node);
    case NODE_PROCESSING_INSTRUCTION:
      if (!IsName(text)) return E_FAIL;
      return MakeNode(xmlNewDocPI(doc, BAD_CAST text.c_str(), nullptr), node);
    case NODE_DOCUMENT_FRAGMENT:
      return MakeNode(xmlNewDocFragment(doc), node);
    case NODE_ENTITY_REFERENCE: case NODE_ENTITY: case NODE_DOCUMENT: case NODE_DOCUMENT_TYPE: case NODE_NOTATION:
      return E_NOTIMPL;
    default:
      return E_INVALIDARG;
  }
}

HRESULT Document::get_readyState(LONG* value) {
  if (value == nullptr) return E_INVALIDARG;
  *value = 4;  // complete: loading is always synchronous here
  return S_OK;
}

HRESULT Document::get_parseError(IXMLDOMParseError** errorObj) {
  if (errorObj == nullptr) return E_INVALIDARG;
  *errorObj = new ParseError(parseError_);
  return S_OK;
}

HRESULT Document::get_url(BSTR* urlString) {
  if (urlString == nullptr) return E_INVALIDARG;
  *urlString = nullptr;
  if (!url_) return S_FALSE;
  return ReturnBstr(*url_, urlString);
}

namespace {

HRESULT GetFlag(bool flag, VARIANT_BOOL* out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

}  // namespace

HRESULT Document::get_async(VARIANT_BOOL* isAsync) { return GetFlag(async_, isAsync); }
HRESULT Document::put_async(VARIANT_BOOL isAsync) {
  async_ = isAsync != VARIANT_FALSE;
  return S_OK;
}
HRESULT Document::get_validateOnParse(VARIANT_BOOL* isValidating) { return GetFlag(validateOnParse_, isValidating); }
HRESULT Document::put_validateOnParse(VARIANT_BOOL isValidating) {
  validateOnParse_ = isValidating != VARIANT_FALSE;
  return S_OK;
}
HRESULT Document::get_resolveExternals(VARIANT_BOOL* isResolving) { return GetFlag(resolveExternals_, isResolving); }
HRESULT Document::put_resolveExternals(VARIANT_BOOL isResolving) {
  resolveExternals_ = isResolving != VARIANT_FALSE;
  return S_OK;
}
HRESULT Document::get_preserveWhiteSpace(VARIANT_BOOL* isPreserving) {
  return GetFlag(preserveWhiteSpace_, isPreserving);
}
HRESULT Document::put_preserveWhiteSpace(VARIANT_BOOL isPreserving) {
  preserveWhiteSpace_ = isPreserving != VARIANT_FALSE;
  return S_OK;
}

HRESULT Document::get_schemas(VARIANT* otherCollection) {
  if (otherCollection == nullptr) return E_INVALIDARG;
  VariantInit(otherCollection);
  if (schemas_ == nullptr) {
    otherCollection->vt = VT_NULL;
    return S_FALSE;
  }
  schemas_->AddRef();
  otherCollection->vt = VT_DISPATCH;
  otherCollection->pdispVal = schemas_;
  return S_OK;
}

HRESULT Document::putref_schemas(VARIANT otherCollection) {
  IXMLDOMSchemaCollection* collection = nullptr;
  if (otherCollection.vt == VT_DISPATCH || otherCollection.vt == VT_UNKNOWN) {
    if (otherCollection.punkVal != nullptr &&
        FAILED(otherCollection.punkVal->QueryInterface(IID_IXMLDOMSchemaCollection,
                                                       reinterpret_cast<void**>(&collection)))) {
      return E_INVALIDARG;
    }
  } else if (otherCollection.vt != VT_NULL && otherCollection.vt != VT_EMPTY) {
    return E_INVALIDARG;
  }
  if (schemas_ != nullptr) schemas_->Release();
  schemas_ = collection;
  return S_OK;
}

HRESULT Document::validate(IXMLDOMParseError** errorObj) {
  if (errorObj != nullptr) *errorObj = nullptr;
  ParseErrorInfo info;
  HRESULT hr = ValidateDocument(tree()->doc(), schemas_, &info);
  info.url = url_;
  parseError_ = info;
  if (errorObj != nullptr) *errorObj = new ParseError(info);
  return hr;
}

namespace {

bool IsProperty(BSTR name, const char* expected) {
  return strcasecmp(BstrToUtf8(name).c_str(), expected) == 0;
}

bool BoolValue(const VARIANT& value, bool* out) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, &value, 0, VT_BOOL))) return false;
  *out = converted.boolVal != VARIANT_FALSE;
  return true;
}

HRESULT ReturnBoolVariant(bool flag, VARIANT* out) {
  VariantInit(out);
  out->vt = VT_BOOL;
  out->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

}  // namespace

HRESULT Document::setProperty(BSTR name, VARIANT value) {
  if (name == nullptr) return E_INVALIDARG;
  if (IsProperty(name, "SelectionNamespaces")) {
    if (value.vt != VT_BSTR) return E_FAIL;
    return ParseSelectionNamespaces(BstrToUtf8(value.bstrVal), &selection_);
  }
  if (IsProperty(name, "SelectionLanguage")) {
    // XPath is the only language of this DOM.
    if (value.vt != VT_BSTR) return E_FAIL;
    return strcasecmp(BstrToUtf8(value.bstrVal).c_str(), "XPath") == 0 ? S_OK : E_FAIL;
  }
  bool flag = false;
  if (IsProperty(name, "ProhibitDTD")) {
    if (!BoolValue(value, &flag)) return E_FAIL;
    prohibitDtd_ = flag;
    return S_OK;
  }
  if (IsProperty(name, "ResolveExternals")) {
    if (!BoolValue(value, &flag)) return E_FAIL;
    resolveExternals_ = flag;
    return S_OK;
  }
  if (IsProperty(name, "ValidateOnParse")) {
    if (!BoolValue(value, &flag)) return E_FAIL;
    validateOnParse_ = flag;
    return S_OK;
  }
  if (IsProperty(name, "NewParser") || IsProperty(name, "MultipleErrorMessages") ||
      IsProperty(name, "UseInlineSchema") || IsProperty(name, "AllowDocumentFunction") ||
      IsProperty(name, "AllowXsltScript") || IsProperty(name, "ServerHTTPRequest")) {
    return BoolValue(value, &flag) ? S_OK : E_FAIL;  // accepted, without effect here
  }
  return E_FAIL;
}

HRESULT Document::getProperty(BSTR name, VARIANT* value) {
  if (name == nullptr || value == nullptr) return E_INVALIDARG;
  VariantInit(value);
  if (IsProperty(name, "SelectionNamespaces")) return ReturnBstrVariant(selection_.text, value);
  if (IsProperty(name, "SelectionLanguage")) return ReturnBstrVariant("XPath", value);
  if (IsProperty(name, "ProhibitDTD")) return ReturnBoolVariant(prohibitDtd_, value);
  if (IsProperty(name, "ResolveExternals")) return ReturnBoolVariant(resolveExternals_, value);
  if (IsProperty(name, "ValidateOnParse")) return ReturnBoolVariant(validateOnParse_, value);
  return E_FAIL;
}

HRESULT Document::GetClassID(CLSID* pClassID) {
  if (pClassID == nullptr) return E_POINTER;
  *pClassID = clsid_;
  return S_OK;
}

}  // namespace qzwin::msxml
