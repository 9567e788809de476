// IXMLDOMNamedNodeMap: the attributes of an element, as they are at each call.
#pragma once

#include <com_object.h>

#include "node.h"

namespace qzwin::msxml {

class AttributeMap : public ComObject<AttributeMap, IXMLDOMNamedNodeMap> {
 public:
  explicit AttributeMap(IXMLDOMNode* element);  // holds a reference on element
  ~AttributeMap() override;

  HRESULT STDMETHODCALLTYPE getNamedItem(BSTR name, IXMLDOMNode** namedItem) override;
  HRESULT STDMETHODCALLTYPE setNamedItem(IXMLDOMNode* newItem, IXMLDOMNode** nameItem) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE removeNamedItem(BSTR name, IXMLDOMNode** namedItem) override;
  HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** listItem) override;
  HRESULT STDMETHODCALLTYPE get_length(LONG* listLength) override;
  HRESULT STDMETHODCALLTYPE getQualifiedItem(BSTR baseName, BSTR namespaceURI, IXMLDOMNode** qualifiedItem) override;
  HRESULT STDMETHODCALLTYPE removeQualifiedItem(BSTR baseName, BSTR namespaceURI,
                                                IXMLDOMNode** qualifiedItem) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** nextItem) override;
  HRESULT STDMETHODCALLTYPE reset() override;
  HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** ppUnk) override { return E_NOTIMPL; }

 private:
  IXMLDOMNode* element_;
  NodeBase* base_;
  LONG cursor_ = 0;
};

// The attribute of `element` whose qualified name (prefix:name) is `name`.
xmlAttrPtr FindAttribute(xmlNodePtr element, const std::string& name);

}  // namespace qzwin::msxml
