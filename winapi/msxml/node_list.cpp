#include "node_list.h"

namespace qzwin::msxml {

NodeList::NodeList(NodeScope scope, std::vector<xmlNodePtr> nodes) : scope_(std::move(scope)), nodes_(std::move(nodes)) {
  if (scope_.owner != nullptr) scope_.owner->AddRef();
}

NodeList::~NodeList() {
  if (scope_.owner != nullptr) scope_.owner->Release();
}

HRESULT NodeList::get_item(LONG index, IXMLDOMNode** listItem) {
  if (listItem == nullptr) return E_INVALIDARG;
  *listItem = nullptr;
  if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) return S_FALSE;
  return WrapNode(scope_, nodes_[index], listItem);
}

HRESULT NodeList::get_length(LONG* listLength) {
  if (listLength == nullptr) return E_INVALIDARG;
  *listLength = static_cast<LONG>(nodes_.size());
  return S_OK;
}

HRESULT NodeList::nextNode(IXMLDOMNode** nextItem) {
  if (nextItem == nullptr) return E_INVALIDARG;
  *nextItem = nullptr;
  if (cursor_ >= nodes_.size()) return S_FALSE;
  return WrapNode(scope_, nodes_[cursor_++], nextItem);
}

HRESULT NodeList::reset() {
  cursor_ = 0;
  return S_OK;
}

xmlNodePtr FirstDomChild(xmlNodePtr node) {
  if (node == nullptr || node->type == XML_ATTRIBUTE_NODE) return nullptr;
  return node->children;
}

ChildNodeList::ChildNodeList(NodeBase& parent) : base_(&parent) { base_->AsNode()->AddRef(); }

ChildNodeList::~ChildNodeList() { base_->AsNode()->Release(); }

xmlNodePtr ChildNodeList::Child(LONG index) {
  if (index < 0) return nullptr;
  xmlNodePtr node = nullptr;
  LONG at = 0;
  // Reuse the last position only while it still hangs under this parent.
  if (cachedNode_ != nullptr && cachedTree_ == base_->tree() && cachedIndex_ <= index &&
      cachedNode_->parent == base_->xml()) {
    node = cachedNode_;
    at = cachedIndex_;
  } else {
    node = FirstDomChild(base_->xml());
  }
  while (node != nullptr && at < index) {
    node = node->next;
    ++at;
  }
  cachedIndex_ = node != nullptr ? index : -1;
  cachedNode_ = node;
  if (cachedTree_ != base_->tree()) cachedTree_ = base_->tree();
  return node;
}

HRESULT ChildNodeList::get_item(LONG index, IXMLDOMNode** listItem) {
  if (listItem == nullptr) return E_INVALIDARG;
  *listItem = nullptr;
  xmlNodePtr node = Child(index);
  if (node == nullptr) return S_FALSE;
  return WrapNode(*base_, node, listItem);
}

HRESULT ChildNodeList::get_length(LONG* listLength) {
  if (listLength == nullptr) return E_INVALIDARG;
  LONG count = 0;
  for (xmlNodePtr node = FirstDomChild(base_->xml()); node != nullptr; node = node->next) ++count;
  *listLength = count;
  return S_OK;
}

HRESULT ChildNodeList::nextNode(IXMLDOMNode** nextItem) {
  if (nextItem == nullptr) return E_INVALIDARG;
  *nextItem = nullptr;
  xmlNodePtr node = Child(cursor_);
  if (node == nullptr) return S_FALSE;
  ++cursor_;
  return WrapNode(*base_, node, nextItem);
}

HRESULT ChildNodeList::reset() {
  cursor_ = 0;
  return S_OK;
}

}  // namespace qzwin::msxml
