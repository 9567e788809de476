// What every DOM node object shares: the libxml2 node it stands for, the Tree
// that keeps that node alive and the document object it belongs to, and the
// IXMLDOMNode methods, which are the same for every node type.
//
// There is at most one DOM object per libxml2 node (its _private field points
// back to it), so asking for the same node twice gives the same object.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <libxml/tree.h>
#include <msxml6.h>

#include "tree.h"

namespace qzwin::msxml {

class NodeBase {
 public:
  // `owner` is held for the node's life; null only for a document itself.
  NodeBase(std::shared_ptr<Tree> tree, xmlNodePtr node, IXMLDOMDocument2* owner);
  virtual ~NodeBase();
  NodeBase(const NodeBase&) = delete;
  NodeBase& operator=(const NodeBase&) = delete;

  // The object's IXMLDOMNode; no reference is added.
  virtual IXMLDOMNode* AsNode() = 0;

  xmlNodePtr xml() const { return node_; }
  const std::shared_ptr<Tree>& tree() const { return tree_; }
  // The document this node belongs to (the document itself for a document);
  // no reference is added.
  virtual IXMLDOMDocument2* ownerDocument() { return owner_; }

  HRESULT get_nodeName(BSTR* name);
  HRESULT get_nodeValue(VARIANT* value);
  HRESULT put_nodeValue(VARIANT value);
  HRESULT get_nodeType(DOMNodeType* type);
  HRESULT get_parentNode(IXMLDOMNode** parent);
  HRESULT get_childNodes(IXMLDOMNodeList** childList);
  HRESULT get_firstChild(IXMLDOMNode** firstChild);
  HRESULT get_lastChild(IXMLDOMNode** lastChild);
  HRESULT get_previousSibling(IXMLDOMNode** previousSibling);
  HRESULT get_nextSibling(IXMLDOMNode** nextSibling);
  HRESULT get_attributes(IXMLDOMNamedNodeMap** attributeMap);
  HRESULT insertBefore(IXMLDOMNode* newChild, VARIANT refChild, IXMLDOMNode** outNewChild);
  HRESULT replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild, IXMLDOMNode** outOldChild);
  HRESULT removeChild(IXMLDOMNode* childNode, IXMLDOMNode** oldChild);
  HRESULT appendChild(IXMLDOMNode* newChild, IXMLDOMNode** outNewChild);
  HRESULT hasChildNodes(VARIANT_BOOL* hasChild);
  HRESULT get_ownerDocument(IXMLDOMDocument** document);
  HRESULT cloneNode(VARIANT_BOOL deep, IXMLDOMNode** cloneRoot);
  HRESULT get_nodeTypeString(BSTR* nodeType);
  HRESULT get_text(BSTR* text);
  HRESULT put_text(BSTR text);
  HRESULT get_specified(VARIANT_BOOL* isSpecified);
  HRESULT get_nodeTypedValue(VARIANT* typedValue);
  HRESULT put_nodeTypedValue(VARIANT typedValue);
  HRESULT get_dataType(VARIANT* dataTypeName);
  HRESULT put_dataType(BSTR dataTypeName);
  HRESULT get_xml(BSTR* xmlString);
  HRESULT selectNodes(BSTR queryString, IXMLDOMNodeList** resultList);
  HRESULT selectSingleNode(BSTR queryString, IXMLDOMNode** resultNode);
  HRESULT get_namespaceURI(BSTR* namespaceURI);
  HRESULT get_prefix(BSTR* prefixString);
  HRESULT get_baseName(BSTR* nameString);

 protected:
  // The document replaces its tree when it loads.
  void ResetTree(std::shared_ptr<Tree> tree, xmlNodePtr node);
  // The libxml2 node behind a DOM object of this tree; null (and *hr set)
  // for foreign objects and nodes of another document.
  xmlNodePtr NodeOfThisTree(IUnknown* object, HRESULT* hr) const;

 private:
  std::shared_ptr<Tree> tree_;
  xmlNodePtr node_;
  IXMLDOMDocument2* owner_;
};

// The DOM object behind an interface, if it is one of ours (no reference added).
NodeBase* NodeFromInterface(IUnknown* object);

// The tree and document that new DOM objects for a tree's nodes belong to.
struct NodeScope {
  std::shared_ptr<Tree> tree;
  IXMLDOMDocument2* owner = nullptr;
};
inline NodeScope ScopeOf(NodeBase& node) { return {node.tree(), node.ownerDocument()}; }

// The one DOM object of `node`, made on first use. A null node (or a
// document node whose document object is gone) gives S_FALSE and *out = null.
HRESULT WrapNode(const NodeScope& scope, xmlNodePtr node, IXMLDOMNode** out);
// The same for a node of `relative`'s tree and document, without copying
// its scope.
HRESULT WrapNode(NodeBase& relative, xmlNodePtr node, IXMLDOMNode** out);
template <class I>
HRESULT WrapNodeAs(NodeBase& relative, xmlNodePtr node, I** out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = nullptr;
  IXMLDOMNode* wrapped = nullptr;
  HRESULT hr = WrapNode(relative, node, &wrapped);
  if (hr != S_OK) return hr;
  hr = wrapped->QueryInterface(__uuidof(I), reinterpret_cast<void**>(out));
  wrapped->Release();
  return hr;
}

// The text of a node as the DOM's `text` gives it.
std::string NodeText(xmlNodePtr node);
// Sets an attribute node's value as plain text (no entity references).
void SetAttributeValue(xmlAttrPtr attr, const std::string& value);

}  // namespace qzwin::msxml
