#include "element.h"

#include <vector>

#include <oleauto.h>

#include "named_node_map.h"
#include "node_list.h"
#include "qualified_name.h"
#include "utf.h"

namespace qzwin::msxml {

HRESULT VariantToUtf8(const VARIANT& value, std::string* text) {
  if (value.vt == VT_BSTR) {
    *text = BstrToUtf8(value.bstrVal);
    return S_OK;
  }
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr = VariantChangeType(&converted, &value, 0, VT_BSTR);
  if (FAILED(hr)) return E_INVALIDARG;
  *text = BstrToUtf8(converted.bstrVal);
  VariantClear(&converted);
  return S_OK;
}

namespace {

// The namespace declared on `element` itself with `prefix` (null: default).
xmlNsPtr OwnDeclaration(xmlNodePtr element, const xmlChar* prefix) {
  for (xmlNsPtr ns = element->nsDef; ns != nullptr; ns = ns->next) {
    if (xmlStrEqual(ns->prefix, prefix)) return ns;
  }
  return nullptr;
}

HRESULT DeclareNamespace(xmlNodePtr element, const xmlChar* prefix, const std::string& uri) {
  xmlNsPtr own = OwnDeclaration(element, prefix);
  if (own != nullptr) {
    // A declaration that the element or its attributes use cannot change meaning.
    return xmlStrEqual(own->href, BAD_CAST uri.c_str()) ? S_OK : E_FAIL;
  }
  if (prefix != nullptr && uri.empty()) return E_FAIL;
  return xmlNewNs(element, BAD_CAST uri.c_str(), prefix) != nullptr ? S_OK : E_FAIL;
}

}  // namespace

HRESULT SetElementAttribute(Tree& tree, xmlNodePtr element, const std::string& name, const std::string& value) {
  QualifiedName qname;
  if (!SplitQualifiedName(name, &qname)) return E_FAIL;
  if (qname.prefix.empty() && qname.local == "xmlns") return DeclareNamespace(element, nullptr, value);
  if (qname.prefix == "xmlns") return DeclareNamespace(element, BAD_CAST qname.local.c_str(), value);

  if (xmlAttrPtr existing = FindAttribute(element, name)) {
    SetAttributeValue(existing, value);
    return S_OK;
  }
  xmlNsPtr ns = nullptr;
  if (!qname.prefix.empty()) {
    ns = xmlSearchNs(element->doc, element, BAD_CAST qname.prefix.c_str());
    if (ns == nullptr) return E_FAIL;  // a prefix must be bound
  }
  xmlAttrPtr attr = xmlNewNsProp(element, ns, BAD_CAST qname.local.c_str(), BAD_CAST value.c_str());
  return attr != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Element::getAttribute(BSTR name, VARIANT* value) {
  if (value == nullptr || name == nullptr) return E_INVALIDARG;
  VariantInit(value);
  std::string qname = BstrToUtf8(name);
  if (xmlAttrPtr attr = FindAttribute(xml(), qname)) {
    return ReturnBstrVariant(NodeText(reinterpret_cast<xmlNodePtr>(attr)), value);
  }
  // Namespace declarations read like attributes.
  if (qname == "xmlns" || qname.rfind("xmlns:", 0) == 0) {
    const xmlChar* prefix = qname.size() > 6 ? BAD_CAST qname.c_str() + 6 : nullptr;
    if (xmlNsPtr ns = OwnDeclaration(xml(), prefix)) {
      return ReturnBstrVariant(reinterpret_cast<const char*>(ns->href), value);
    }
  }
  value->vt = VT_NULL;
  return S_FALSE;
}

HRESULT Element::setAttribute(BSTR name, VARIANT value) {
  if (name == nullptr) return E_INVALIDARG;
  std::string text;
  HRESULT hr = VariantToUtf8(value, &text);
  if (FAILED(hr)) return hr;
  return SetElementAttribute(*tree(), xml(), BstrToUtf8(name), text);
}

HRESULT Element::removeAttribute(BSTR name) {
  if (name == nullptr) return E_INVALIDARG;
  if (xmlAttrPtr attr = FindAttribute(xml(), BstrToUtf8(name))) {
    tree()->Detach(reinterpret_cast<xmlNodePtr>(attr));
  }
  return S_OK;
}

HRESULT Element::getAttributeNode(BSTR name, IXMLDOMAttribute** attributeNode) {
  if (attributeNode == nullptr || name == nullptr) return E_INVALIDARG;
  *attributeNode = nullptr;
  xmlAttrPtr attr = FindAttribute(xml(), BstrToUtf8(name));
  if (attr == nullptr) return S_FALSE;
  return WrapNodeAs(*this, reinterpret_cast<xmlNodePtr>(attr), attributeNode);
}

std::vector<xmlNodePtr> ElementsByTagName(xmlNodePtr root, const std::string& name) {
  std::vector<xmlNodePtr> found;
  bool all = name == "*";
  xmlNodePtr node = root->children;
  while (node != nullptr && node != root) {
    if (node->type == XML_ELEMENT_NODE) {
      if (all || QualifiedNameOf(node) == name) found.push_back(node);
      if (node->children != nullptr) {
        node = node->children;
        continue;
      }
    }
    while (node != root && node->next == nullptr) node = node->parent;
    if (node == root) break;
    node = node->next;
  }
  return found;
}

HRESULT Element::getElementsByTagName(BSTR tagName, IXMLDOMNodeList** resultList) {
  if (resultList == nullptr || tagName == nullptr) return E_INVALIDARG;
  *resultList = new NodeList(ScopeOf(*this), ElementsByTagName(xml(), BstrToUtf8(tagName)));
  return S_OK;
}

}  // namespace qzwin::msxml
