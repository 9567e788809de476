// Node types the DOM shows but does little with: document fragments, the
// document type and entity references.
#pragma once

#include "node_impl.h"

namespace qzwin::msxml {

class DocumentFragment : public NodeImpl<DocumentFragment, IXMLDOMDocumentFragment> {
 public:
  using NodeImpl::NodeImpl;
};

class DocumentType : public NodeImpl<DocumentType, IXMLDOMDocumentType> {
 public:
  using NodeImpl::NodeImpl;
  HRESULT STDMETHODCALLTYPE get_name(BSTR* rootName) override { return get_nodeName(rootName); }
  HRESULT STDMETHODCALLTYPE get_entities(IXMLDOMNamedNodeMap** entityMap) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_notations(IXMLDOMNamedNodeMap** notationMap) override { return E_NOTIMPL; }
};

class EntityReference : public NodeImpl<EntityReference, IXMLDOMEntityReference> {
 public:
  using NodeImpl::NodeImpl;
};

}  // namespace qzwin::msxml
