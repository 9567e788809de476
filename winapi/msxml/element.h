// IXMLDOMElement over a libxml2 element.
#pragma once

#include <string>
#include <vector>

#include "node_impl.h"

namespace qzwin::msxml {

class Element : public NodeImpl<Element, IXMLDOMElement> {
 public:
  using NodeImpl::NodeImpl;

  HRESULT STDMETHODCALLTYPE get_tagName(BSTR* tagName) override { return get_nodeName(tagName); }
  HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE setAttribute(BSTR name, VARIANT value) override;
  HRESULT STDMETHODCALLTYPE removeAttribute(BSTR name) override;
  HRESULT STDMETHODCALLTYPE getAttributeNode(BSTR name, IXMLDOMAttribute** attributeNode) override;
  HRESULT STDMETHODCALLTYPE setAttributeNode(IXMLDOMAttribute* DOMAttribute,
                                             IXMLDOMAttribute** attributeNode) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE removeAttributeNode(IXMLDOMAttribute* DOMAttribute,
                                                IXMLDOMAttribute** attributeNode) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR tagName, IXMLDOMNodeList** resultList) override;
  HRESULT STDMETHODCALLTYPE normalize() override { return E_NOTIMPL; }
};

// Sets attribute `name` (a qualified name; "xmlns" and "xmlns:p" declare a
// namespace) of an element to a plain-text value.
HRESULT SetElementAttribute(Tree& tree, xmlNodePtr element, const std::string& name, const std::string& value);

// The elements below `root` whose qualified name is `name` ("*": all), in
// document order.
std::vector<xmlNodePtr> ElementsByTagName(xmlNodePtr root, const std::string& name);

// A value given as VARIANT, as text: E_INVALIDARG when it has none.
HRESULT VariantToUtf8(const VARIANT& value, std::string* text);

}  // namespace qzwin::msxml
