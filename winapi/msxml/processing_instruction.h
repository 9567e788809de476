// IXMLDOMProcessingInstruction over a libxml2 processing instruction. The XML
// declaration of a document is one too, with the target "xml".
#pragma once

#include "node_impl.h"

namespace qzwin::msxml {

class ProcessingInstruction : public NodeImpl<IXMLDOMProcessingInstruction> {
 public:
  using NodeImpl::NodeImpl;

  HRESULT STDMETHODCALLTYPE get_target(BSTR* name) override { return get_nodeName(name); }
  HRESULT STDMETHODCALLTYPE get_data(BSTR* value) override { return get_text(value); }
  HRESULT STDMETHODCALLTYPE put_data(BSTR value) override { return put_text(value); }
};

}  // namespace qzwin::msxml
