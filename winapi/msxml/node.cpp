#include "node.h"

#include <oleauto.h>

#include "data_type.h"
#include "declaration.h"
#include "document.h"
#include "element.h"
#include "named_node_map.h"
#include "node_impl.h"
#include "node_list.h"
#include "qualified_name.h"
#include "selection.h"
#include "serialize.h"
#include "utf.h"

namespace qzwin::msxml {

NodeBase::NodeBase(std::shared_ptr<Tree> tree, xmlNodePtr node, IXMLDOMDocument2* owner)
    : tree_(std::move(tree)), node_(node), owner_(owner) {
  if (owner_ != nullptr) owner_->AddRef();
  if (node_ != nullptr) node_->_private = this;
}

NodeBase::~NodeBase() {
  if (node_ != nullptr && node_->_private == this) node_->_private = nullptr;
  if (owner_ != nullptr) owner_->Release();
}

void NodeBase::ResetTree(std::shared_ptr<Tree> tree, xmlNodePtr node) {
  if (node_ != nullptr && node_->_private == this) node_->_private = nullptr;
  tree_ = std::move(tree);
  node_ = node;
  if (node_ != nullptr) node_->_private = this;
}

xmlNodePtr NodeBase::NodeOfThisTree(IUnknown* object, HRESULT* hr) const {
  NodeBase* base = NodeFromInterface(object);
  if (base == nullptr || base->node_ == nullptr || base->node_->doc != node_->doc) {
    *hr = E_INVALIDARG;
    return nullptr;
  }
  *hr = S_OK;
  return base->node_;
}

std::string NodeText(xmlNodePtr node) {
  xmlChar* content = xmlNodeGetContent(node);
  if (content == nullptr) return {};
  std::string text(reinterpret_cast<const char*>(content));
  xmlFree(content);
  return text;
}

void SetAttributeValue(xmlAttrPtr attr, const std::string& value) {
  if (attr->children != nullptr) xmlFreeNodeList(attr->children);
  attr->children = attr->last = nullptr;
  xmlNodePtr text = xmlNewDocText(attr->doc, BAD_CAST value.c_str());
  if (text == nullptr) return;
  text->parent = reinterpret_cast<xmlNodePtr>(attr);
  attr->children = attr->last = text;
}

namespace {

bool HasValue(xmlElementType type) {
  return type == XML_ATTRIBUTE_NODE || type == XML_TEXT_NODE || type == XML_CDATA_SECTION_NODE ||
         type == XML_COMMENT_NODE || type == XML_PI_NODE;
}

DOMNodeType DomType(xmlElementType type) {
  switch (type) {
    case XML_ELEMENT_NODE: return NODE_ELEMENT;
    case XML_ATTRIBUTE_NODE: return NODE_ATTRIBUTE;
    case XML_TEXT_NODE: return NODE_TEXT;
    case XML_CDATA_SECTION_NODE: return NODE_CDATA_SECTION;
    case XML_ENTITY_REF_NODE: return NODE_ENTITY_REFERENCE;
    case XML_ENTITY_NODE: case XML_ENTITY_DECL: return NODE_ENTITY;
    case XML_PI_NODE: return NODE_PROCESSING_INSTRUCTION;
    case XML_COMMENT_NODE: return NODE_COMMENT;
    case XML_DOCUMENT_NODE: case XML_HTML_DOCUMENT_NODE: return NODE_DOCUMENT;
    case XML_DOCUMENT_TYPE_NODE: case XML_DTD_NODE: return NODE_DOCUMENT_TYPE;
    case XML_DOCUMENT_FRAG_NODE: return NODE_DOCUMENT_FRAGMENT;
    case XML_NOTATION_NODE: return NODE_NOTATION;
    default: return NODE_INVALID;
  }
}

const char* TypeString(DOMNodeType type) {
  switch (type) {
    case NODE_ELEMENT: return "element";
    case NODE_ATTRIBUTE: return "attribute";
    case NODE_TEXT: return "text";
    case NODE_CDATA_SECTION: return "cdatasection";
    case NODE_ENTITY_REFERENCE: return "entityreference";
    case NODE_ENTITY: return "entity";
    case NODE_PROCESSING_INSTRUCTION: return "processinginstruction";
    case NODE_COMMENT: return "comment";
    case NODE_DOCUMENT: return "document";
    case NODE_DOCUMENT_TYPE: return "documenttype";
    case NODE_DOCUMENT_FRAGMENT: return "documentfragment";
    case NODE_NOTATION: return "notation";
    default: return "";
  }
}

bool IsAncestorOrSelf(xmlNodePtr candidate, xmlNodePtr node) {
  for (; node != nullptr; node = node->parent) {
    if (node == candidate) return true;
  }
  return false;
}

// Whether `parent` may take `child` before `before` (null: at the end).
HRESULT CheckChild(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr before) {
  switch (child->type) {
    case XML_ELEMENT_NODE: case XML_TEXT_NODE: case XML_CDATA_SECTION_NODE: case XML_ENTITY_REF_NODE:
    case XML_PI_NODE: case XML_COMMENT_NODE: case XML_DOCUMENT_FRAG_NODE:
      break;
    default:
      return E_FAIL;
  }
  if (IsAncestorOrSelf(child, parent)) return E_FAIL;
  bool isDocument = parent->type == XML_DOCUMENT_NODE;
  if (parent->type != XML_ELEMENT_NODE && parent->type != XML_DOCUMENT_FRAG_NODE && !isDocument) return E_FAIL;
  if (IsDeclaration(child)) {
    // The declaration stands once, at the top of a document; like MSXML, the
    // DOM lets it stand anywhere there, even after the document element.
    if (!isDocument) return E_FAIL;
    for (xmlNodePtr n = parent->children; n != nullptr; n = n->next) {
      if (n != child && IsDeclaration(n)) return E_FAIL;
    }
    return S_OK;
  }
  if (!isDocument) return S_OK;
  if (before != nullptr && IsDeclaration(before) && before == parent->children) return E_FAIL;
  if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE || child->type == XML_ENTITY_REF_NODE) {
    return E_FAIL;
  }
  if (child->type == XML_ELEMENT_NODE) {
    for (xmlNodePtr n = parent->children; n != nullptr; n = n->next) {
      if (n != child && n->type == XML_ELEMENT_NODE) return E_FAIL;  // one document element
    }
  }
  return S_OK;
}

HRESULT ReturnNode(NodeBase& context, xmlNodePtr node, IXMLDOMNode** out) {
  if (out == nullptr) return E_INVALIDARG;
  return WrapNode(context, node, out);
}

void ClearPrivate(xmlNodePtr node) {
  for (; node != nullptr; node = node->next) {
    node->_private = nullptr;
    if (node->type == XML_ELEMENT_NODE) {
      for (xmlAttrPtr attr = node->properties; attr != nullptr; attr = attr->next) attr->_private = nullptr;
    }
    if (node->type != XML_ATTRIBUTE_NODE || node->children != nullptr) ClearPrivate(node->children);
  }
}

}  // namespace

HRESULT NodeBase::get_nodeName(BSTR* name) {
  switch (node_->type) {
    case XML_TEXT_NODE: return ReturnBstr("#text", name);
    case XML_CDATA_SECTION_NODE: return ReturnBstr("#cdata-section", name);
    case XML_COMMENT_NODE: return ReturnBstr("#comment", name);
    case XML_DOCUMENT_NODE: return ReturnBstr("#document", name);
    case XML_DOCUMENT_FRAG_NODE: return ReturnBstr("#document-fragment", name);
    default: return ReturnBstr(QualifiedNameOf(node_), name);
  }
}

HRESULT NodeBase::get_nodeValue(VARIANT* value) {
  if (value == nullptr) return E_INVALIDARG;
  VariantInit(value);
  if (!HasValue(node_->type)) {
    value->vt = VT_NULL;
    return S_FALSE;
  }
  return ReturnBstrVariant(NodeText(node_), value);
}

HRESULT NodeBase::put_nodeValue(VARIANT value) {
  if (!HasValue(node_->type)) return E_FAIL;
  std::string text;
  HRESULT hr = VariantToUtf8(value, &text);
  if (FAILED(hr)) return hr;
  if (node_->type == XML_ATTRIBUTE_NODE) {
    SetAttributeValue(reinterpret_cast<xmlAttrPtr>(node_), text);
  } else {
    xmlNodeSetContent(node_, BAD_CAST text.c_str());
  }
  return S_OK;
}

HRESULT NodeBase::get_nodeType(DOMNodeType* type) {
  if (type == nullptr) return E_INVALIDARG;
  *type = DomType(node_->type);
  return S_OK;
}

HRESULT NodeBase::get_parentNode(IXMLDOMNode** parent) {
  if (parent == nullptr) return E_INVALIDARG;
  *parent = nullptr;
  if (node_->type == XML_ATTRIBUTE_NODE) return S_FALSE;
  return ReturnNode(*this, node_->parent, parent);
}

HRESULT NodeBase::get_childNodes(IXMLDOMNodeList** childList) {
  if (childList == nullptr) return E_INVALIDARG;
  *childList = new ChildNodeList(*this);
  return S_OK;
}

HRESULT NodeBase::get_firstChild(IXMLDOMNode** firstChild) {
  if (firstChild != nullptr) *firstChild = nullptr;
  return ReturnNode(*this, FirstDomChild(node_), firstChild);
}

HRESULT NodeBase::get_lastChild(IXMLDOMNode** lastChild) {
  if (lastChild != nullptr) *lastChild = nullptr;
  return ReturnNode(*this, node_->type == XML_ATTRIBUTE_NODE ? nullptr : node_->last, lastChild);
}

HRESULT NodeBase::get_previousSibling(IXMLDOMNode** previousSibling) {
  if (previousSibling != nullptr) *previousSibling = nullptr;
  return ReturnNode(*this, node_->type == XML_ATTRIBUTE_NODE ? nullptr : node_->prev, previousSibling);
}

HRESULT NodeBase::get_nextSibling(IXMLDOMNode** nextSibling) {
  if (nextSibling != nullptr) *nextSibling = nullptr;
  return ReturnNode(*this, node_->type == XML_ATTRIBUTE_NODE ? nullptr : node_->next, nextSibling);
}

HRESULT NodeBase::get_attributes(IXMLDOMNamedNodeMap** attributeMap) {
  if (attributeMap == nullptr) return E_INVALIDARG;
  *attributeMap = nullptr;
  if (node_->type != XML_ELEMENT_NODE) return S_FALSE;
  *attributeMap = new AttributeMap(AsNode());
  return S_OK;
}

HRESULT NodeBase::insertBefore(IXMLDOMNode* newChild, VARIANT refChild, IXMLDOMNode** outNewChild) {
  if (outNewChild != nullptr) *outNewChild = nullptr;
  if (newChild == nullptr) return E_INVALIDARG;
  HRESULT hr = S_OK;
  xmlNodePtr child = NodeOfThisTree(newChild, &hr);
  if (child == nullptr) return hr;
  xmlNodePtr before = nullptr;
  if ((refChild.vt == VT_DISPATCH || refChild.vt == VT_UNKNOWN) && refChild.punkVal != nullptr) {
    before = NodeOfThisTree(refChild.punkVal, &hr);
    if (before == nullptr) return hr;
    if (before->parent != node_ || before->type == XML_ATTRIBUTE_NODE) return E_INVALIDARG;
  } else if (refChild.vt != VT_EMPTY && refChild.vt != VT_NULL && refChild.vt != VT_DISPATCH &&
             refChild.vt != VT_UNKNOWN) {
    return E_INVALIDARG;
  }
  if (child == before) {
    before = before->next;  // already in its place
  }
  if (child->type == XML_DOCUMENT_FRAG_NODE) {
    for (xmlNodePtr n = child->children; n != nullptr; n = n->next) {
      hr = CheckChild(node_, n, before);
      if (FAILED(hr)) return hr;
    }
    while (child->children != nullptr) tree_->InsertChild(node_, child->children, before);
  } else {
    hr = CheckChild(node_, child, before);
    if (FAILED(hr)) return hr;
    tree_->InsertChild(node_, child, before);
  }
  if (outNewChild != nullptr) {
    newChild->AddRef();
    *outNewChild = newChild;
  }
  return S_OK;
}

HRESULT NodeBase::replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild, IXMLDOMNode** outOldChild) {
  if (outOldChild != nullptr) *outOldChild = nullptr;
  if (newChild == nullptr || oldChild == nullptr) return E_INVALIDARG;
  HRESULT hr = S_OK;
  xmlNodePtr old = NodeOfThisTree(oldChild, &hr);
  if (old == nullptr) return hr;
  if (old->parent != node_) return E_INVALIDARG;
  // Take the old child out first, so that a document can swap its element.
  xmlNodePtr next = old->next;
  tree_->Detach(old);
  VARIANT ref;
  VariantInit(&ref);
  IXMLDOMNode* nextNode = nullptr;
  if (next != nullptr && SUCCEEDED(WrapNode(*this, next, &nextNode)) && nextNode != nullptr) {
    ref.vt = VT_UNKNOWN;
    ref.punkVal = nextNode;
  }
  hr = insertBefore(newChild, ref, nullptr);
  if (FAILED(hr)) tree_->InsertChild(node_, old, next);  // put it back
  if (nextNode != nullptr) nextNode->Release();
  if (FAILED(hr)) return hr;
  if (outOldChild != nullptr) {
    oldChild->AddRef();
    *outOldChild = oldChild;
  }
  return S_OK;
}

HRESULT NodeBase::removeChild(IXMLDOMNode* childNode, IXMLDOMNode** oldChild) {
  if (oldChild != nullptr) *oldChild = nullptr;
  if (childNode == nullptr) return E_INVALIDARG;
  HRESULT hr = S_OK;
  xmlNodePtr child = NodeOfThisTree(childNode, &hr);
  if (child == nullptr) return hr;
  if (child->parent != node_ || child->type == XML_ATTRIBUTE_NODE) return E_INVALIDARG;
  tree_->Detach(child);
  if (oldChild != nullptr) {
    childNode->AddRef();
    *oldChild = childNode;
  }
  return S_OK;
}

HRESULT NodeBase::appendChild(IXMLDOMNode* newChild, IXMLDOMNode** outNewChild) {
  VARIANT none;
  VariantInit(&none);
  return insertBefore(newChild, none, outNewChild);
}

HRESULT NodeBase::hasChildNodes(VARIANT_BOOL* hasChild) {
  if (hasChild == nullptr) return E_INVALIDARG;
  *hasChild = FirstDomChild(node_) != nullptr ? VARIANT_TRUE : VARIANT_FALSE;
  return *hasChild ? S_OK : S_FALSE;
}

HRESULT NodeBase::get_ownerDocument(IXMLDOMDocument** document) {
  if (document == nullptr) return E_INVALIDARG;
  *document = nullptr;
  if (node_->type == XML_DOCUMENT_NODE || owner_ == nullptr) return S_FALSE;
  return owner_->QueryInterface(IID_IXMLDOMDocument, reinterpret_cast<void**>(document));
}

HRESULT NodeBase::cloneNode(VARIANT_BOOL deep, IXMLDOMNode** cloneRoot) {
  if (cloneRoot == nullptr) return E_INVALIDARG;
  *cloneRoot = nullptr;
  xmlNodePtr copy = nullptr;
  if (node_->type == XML_DOCUMENT_NODE) return E_NOTIMPL;
  if (node_->type == XML_ATTRIBUTE_NODE) {
    copy = reinterpret_cast<xmlNodePtr>(xmlCopyProp(nullptr, reinterpret_cast<xmlAttrPtr>(node_)));
  } else {
    copy = xmlDocCopyNode(node_, node_->doc, deep ? 1 : 2);
  }
  if (copy == nullptr) return E_OUTOFMEMORY;
  copy->_private = nullptr;
  ClearPrivate(copy->children);
  if (copy->type == XML_ELEMENT_NODE) {
    for (xmlAttrPtr attr = copy->properties; attr != nullptr; attr = attr->next) attr->_private = nullptr;
  }
  tree_->KeepDetached(copy);
  return WrapNode(*this, copy, cloneRoot);
}

HRESULT NodeBase::get_nodeTypeString(BSTR* nodeType) { return ReturnBstr(TypeString(DomType(node_->type)), nodeType); }

HRESULT NodeBase::get_text(BSTR* text) { return ReturnBstr(NodeText(node_), text); }

HRESULT NodeBase::put_text(BSTR text) {
  std::string value = BstrToUtf8(text);
  switch (node_->type) {
    case XML_ELEMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE: {
      while (node_->children != nullptr) tree_->Detach(node_->children);
      xmlNodePtr textNode = xmlNewDocText(node_->doc, BAD_CAST value.c_str());
      if (textNode == nullptr) return E_OUTOFMEMORY;
      tree_->InsertChild(node_, textNode, nullptr);
      return S_OK;
    }
    case XML_ATTRIBUTE_NODE:
      SetAttributeValue(reinterpret_cast<xmlAttrPtr>(node_), value);
      return S_OK;
    case XML_TEXT_NODE: case XML_CDATA_SECTION_NODE: case XML_COMMENT_NODE: case XML_PI_NODE:
      xmlNodeSetContent(node_, BAD_CAST value.c_str());
      return S_OK;
    default:
      return E_FAIL;
  }
}

HRESULT NodeBase::get_specified(VARIANT_BOOL* isSpecified) {
  if (isSpecified == nullptr) return E_INVALIDARG;
  *isSpecified = VARIANT_TRUE;
  return S_OK;
}

HRESULT NodeBase::get_nodeTypedValue(VARIANT* typedValue) {
  if (typedValue == nullptr) return E_INVALIDARG;
  return ReturnBstrVariant(NodeText(node_), typedValue);
}

HRESULT NodeBase::put_nodeTypedValue(VARIANT typedValue) {
  std::string text;
  HRESULT hr = VariantToUtf8(typedValue, &text);
  if (FAILED(hr)) return hr;
  BSTR wide = AllocBstr(text);
  hr = put_text(wide);
  SysFreeString(wide);
  return hr;
}

HRESULT NodeBase::get_dataType(VARIANT* dataTypeName) { return GetDataType(node_, dataTypeName); }

HRESULT NodeBase::put_dataType(BSTR dataTypeName) { return PutDataType(node_, BstrToUtf8(dataTypeName)); }

HRESULT NodeBase::get_xml(BSTR* xmlString) {
  if (xmlString == nullptr) return E_INVALIDARG;
  return ReturnBstr(SerializeForXmlProperty(node_), xmlString);
}

HRESULT NodeBase::selectNodes(BSTR queryString, IXMLDOMNodeList** resultList) {
  if (resultList == nullptr) return E_INVALIDARG;
  *resultList = nullptr;
  if (queryString == nullptr) return E_INVALIDARG;
  std::vector<xmlNodePtr> nodes;
  HRESULT hr = SelectNodes(node_, SelectionNamespacesOf(ownerDocument()), BstrToUtf8(queryString), &nodes);
  if (FAILED(hr)) return hr;
  *resultList = new NodeList(ScopeOf(*this), std::move(nodes));
  return S_OK;
}

HRESULT NodeBase::selectSingleNode(BSTR queryString, IXMLDOMNode** resultNode) {
  if (resultNode == nullptr) return E_INVALIDARG;
  *resultNode = nullptr;
  if (queryString == nullptr) return E_INVALIDARG;
  std::vector<xmlNodePtr> nodes;
  HRESULT hr = SelectNodes(node_, SelectionNamespacesOf(ownerDocument()), BstrToUtf8(queryString), &nodes);
  if (FAILED(hr)) return hr;
  if (nodes.empty()) return S_FALSE;
  return WrapNode(*this, nodes.front(), resultNode);
}

HRESULT NodeBase::get_namespaceURI(BSTR* namespaceURI) {
  bool named = node_->type == XML_ELEMENT_NODE || node_->type == XML_ATTRIBUTE_NODE;
  const xmlChar* href = named && node_->ns != nullptr ? node_->ns->href : nullptr;
  return ReturnBstr(href, namespaceURI);
}

HRESULT NodeBase::get_prefix(BSTR* prefixString) {
  bool named = node_->type == XML_ELEMENT_NODE || node_->type == XML_ATTRIBUTE_NODE;
  const xmlChar* prefix = named && node_->ns != nullptr ? node_->ns->prefix : nullptr;
  return ReturnBstr(prefix, prefixString);
}

HRESULT NodeBase::get_baseName(BSTR* nameString) {
  switch (node_->type) {
    case XML_ELEMENT_NODE: case XML_ATTRIBUTE_NODE: case XML_PI_NODE: case XML_ENTITY_REF_NODE:
      return ReturnBstr(node_->name, nameString);
    default:
      return ReturnBstr("", nameString);
  }
}

}  // namespace qzwin::msxml
