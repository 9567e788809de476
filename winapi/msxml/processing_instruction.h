// IXMLDOMProcessingInstruction over a libxml2 processing instruction. The XML
// declaration of a document is one too, with the target "xml" (declaration.h).
#pragma once

#include "declaration.h"
#include "node_impl.h"

namespace qzwin::msxml {

class ProcessingInstruction : public NodeImpl<ProcessingInstruction, IXMLDOMProcessingInstruction> {
 public:
  using NodeImpl::NodeImpl;

  HRESULT STDMETHODCALLTYPE get_target(BSTR* name) override { return get_nodeName(name); }
  HRESULT STDMETHODCALLTYPE get_data(BSTR* value) override { return get_text(value); }
  HRESULT STDMETHODCALLTYPE put_data(BSTR value) override { return put_text(value); }

  // A declaration's data cannot be changed once it is made.
  HRESULT STDMETHODCALLTYPE put_text(BSTR value) override {
    return IsDeclaration(xml()) ? E_FAIL : NodeImpl::put_text(value);
  }
  HRESULT STDMETHODCALLTYPE put_nodeValue(VARIANT value) override {
    return IsDeclaration(xml()) ? E_FAIL : NodeImpl::put_nodeValue(value);
  }
};

}  // namespace qzwin::msxml
