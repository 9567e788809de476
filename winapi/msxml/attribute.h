// IXMLDOMAttribute over a libxml2 attribute.
#pragma once

#include "node_impl.h"

namespace qzwin::msxml {

class Attribute : public NodeImpl<Attribute, IXMLDOMAttribute> {
 public:
  using NodeImpl::NodeImpl;

  HRESULT STDMETHODCALLTYPE get_name(BSTR* attributeName) override { return get_nodeName(attributeName); }
  HRESULT STDMETHODCALLTYPE get_value(VARIANT* attributeValue) override { return get_nodeValue(attributeValue); }
  HRESULT STDMETHODCALLTYPE put_value(VARIANT attributeValue) override { return put_nodeValue(attributeValue); }
};

}  // namespace qzwin::msxml
