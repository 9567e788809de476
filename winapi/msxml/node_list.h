// IXMLDOMNodeList in two forms: the fixed result of a selection, and the live
// list of a node's children.
#pragma once

#include <vector>

#include <com_object.h>

#include "node.h"

namespace qzwin::msxml {

// A selection's nodes, in document order, as they were when selected.
class NodeList : public ComObject<NodeList, IXMLDOMNodeList> {
 public:
  NodeList(NodeScope scope, std::vector<xmlNodePtr> nodes);
  ~NodeList() override;

  HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** listItem) override;
  HRESULT STDMETHODCALLTYPE get_length(LONG* listLength) override;
  HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** nextItem) override;
  HRESULT STDMETHODCALLTYPE reset() override;
  HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** ppUnk) override { return E_NOTIMPL; }

 private:
  NodeScope scope_;
  std::vector<xmlNodePtr> nodes_;
  size_t cursor_ = 0;
};

// The children of a node as they are at each call.
class ChildNodeList : public ComObject<ChildNodeList, IXMLDOMNodeList> {
 public:
  explicit ChildNodeList(NodeBase& parent);  // holds a reference on parent
  ~ChildNodeList() override;

  HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** listItem) override;
  HRESULT STDMETHODCALLTYPE get_length(LONG* listLength) override;
  HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** nextItem) override;
  HRESULT STDMETHODCALLTYPE reset() override;
  HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** ppUnk) override { return E_NOTIMPL; }

 private:
  xmlNodePtr Child(LONG index);

  NodeBase* base_;
  LONG cursor_ = 0;
  // The last child found by index, so that walking the list in order stays
  // linear: item(i + 1) starts from item(i).
  // The cache keeps its tree alive, as a document's tree changes on load.
  LONG cachedIndex_ = -1;
  xmlNodePtr cachedNode_ = nullptr;
  std::shared_ptr<Tree> cachedTree_;
};

// The children a DOM node shows: an attribute shows none here.
xmlNodePtr FirstDomChild(xmlNodePtr node);

}  // namespace qzwin::msxml
