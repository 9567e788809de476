#include "named_node_map.h"

#include <cstring>

#include "utf.h"

namespace qzwin::msxml {

xmlAttrPtr FindAttribute(xmlNodePtr element, const std::string& name) {
  if (element == nullptr || element->type != XML_ELEMENT_NODE) return nullptr;
  size_t colon = name.find(':');
  for (xmlAttrPtr attr = element->properties; attr != nullptr; attr = attr->next) {
    const char* local = reinterpret_cast<const char*>(attr->name);
    if (colon == std::string::npos) {
      if (attr->ns == nullptr && name == local) return attr;
    } else if (attr->ns != nullptr && attr->ns->prefix != nullptr &&
               name.compare(0, colon, reinterpret_cast<const char*>(attr->ns->prefix)) == 0 &&
               std::strcmp(name.c_str() + colon + 1, local) == 0 &&
               std::strlen(reinterpret_cast<const char*>(attr->ns->prefix)) == colon) {
      return attr;
    }
  }
  return nullptr;
}

AttributeMap::AttributeMap(IXMLDOMNode* element) : element_(element), base_(NodeFromInterface(element)) {
  element_->AddRef();
}

AttributeMap::~AttributeMap() { element_->Release(); }

namespace {

xmlAttrPtr AttributeAt(xmlNodePtr element, LONG index) {
  if (index < 0) return nullptr;
  xmlAttrPtr attr = element->properties;
  for (LONG at = 0; attr != nullptr && at < index; ++at) attr = attr->next;
  return attr;
}

}  // namespace

HRESULT AttributeMap::getNamedItem(BSTR name, IXMLDOMNode** namedItem) {
  if (namedItem == nullptr || name == nullptr) return E_INVALIDARG;
  *namedItem = nullptr;
  xmlAttrPtr attr = FindAttribute(base_->xml(), BstrToUtf8(name));
  if (attr == nullptr) return S_FALSE;
  return WrapNode(*base_, reinterpret_cast<xmlNodePtr>(attr), namedItem);
}

HRESULT AttributeMap::removeNamedItem(BSTR name, IXMLDOMNode** namedItem) {
  if (namedItem != nullptr) *namedItem = nullptr;
  if (name == nullptr) return E_INVALIDARG;
  xmlAttrPtr attr = FindAttribute(base_->xml(), BstrToUtf8(name));
  if (attr == nullptr) return S_FALSE;
  xmlNodePtr node = reinterpret_cast<xmlNodePtr>(attr);
  base_->tree()->Detach(node);
  return namedItem != nullptr ? WrapNode(*base_, node, namedItem) : S_OK;
}

HRESULT AttributeMap::get_item(LONG index, IXMLDOMNode** listItem) {
  if (listItem == nullptr) return E_INVALIDARG;
  *listItem = nullptr;
  xmlAttrPtr attr = AttributeAt(base_->xml(), index);
  if (attr == nullptr) return S_FALSE;
  return WrapNode(*base_, reinterpret_cast<xmlNodePtr>(attr), listItem);
}

HRESULT AttributeMap::get_length(LONG* listLength) {
  if (listLength == nullptr) return E_INVALIDARG;
  LONG count = 0;
  for (xmlAttrPtr attr = base_->xml()->properties; attr != nullptr; attr = attr->next) ++count;
  *listLength = count;
  return S_OK;
}

HRESULT AttributeMap::getQualifiedItem(BSTR baseName, BSTR namespaceURI, IXMLDOMNode** qualifiedItem) {
  if (qualifiedItem == nullptr || baseName == nullptr) return E_INVALIDARG;
  *qualifiedItem = nullptr;
  std::string uri = BstrToUtf8(namespaceURI);
  xmlAttrPtr attr = xmlHasNsProp(base_->xml(), BAD_CAST BstrToUtf8(baseName).c_str(),
                                 uri.empty() ? nullptr : BAD_CAST uri.c_str());
  // xmlHasNsProp also finds declared defaults of a DTD, which are no nodes.
  if (attr == nullptr || attr->type != XML_ATTRIBUTE_NODE) return S_FALSE;
  return WrapNode(*base_, reinterpret_cast<xmlNodePtr>(attr), qualifiedItem);
}

HRESULT AttributeMap::nextNode(IXMLDOMNode** nextItem) {
  if (nextItem == nullptr) return E_INVALIDARG;
  *nextItem = nullptr;
  xmlAttrPtr attr = AttributeAt(base_->xml(), cursor_);
  if (attr == nullptr) return S_FALSE;
  ++cursor_;
  return WrapNode(*base_, reinterpret_cast<xmlNodePtr>(attr), nextItem);
}

HRESULT AttributeMap::reset() {
  cursor_ = 0;
  return S_OK;
}

}  // namespace qzwin::msxml
