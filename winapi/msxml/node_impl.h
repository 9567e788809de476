// The COM face of a node object: its interface table and the IXMLDOMNode
// methods forwarded to NodeBase. Each node type derives from
// NodeImpl<itself, its interface>.
#pragma once

#include <com_object.h>

#include "node.h"

namespace qzwin::msxml {

// QueryInterface id of NodeBase, private to the DOM.
extern const IID IID_QzNodeBase;

}  // namespace qzwin::msxml

QZ_DECLARE_UUIDOF(qzwin::msxml::NodeBase, qzwin::msxml::IID_QzNodeBase)

namespace qzwin::msxml {

#define QZ_NODE_FORWARD(name, params, args) \
  HRESULT STDMETHODCALLTYPE name params override { return NodeBase::name args; }

template <class Derived, class Iface, class... Others>
class NodeImpl : public ComObject<Derived, Iface, Others...>, public NodeBase {
 public:
  // Every node answers its own interface, IXMLDOMNode and, for the DOM
  // itself, NodeBase; a type adds the interfaces between IXMLDOMNode and its own.
  using Interfaces = InterfaceTable<Answers<Iface>, Answers<IXMLDOMNode, Iface>, Answers<NodeBase>, Answers<Others>...>;

  using NodeBase::NodeBase;

  IXMLDOMNode* AsNode() override { return this; }

  QZ_NODE_FORWARD(get_nodeName, (BSTR * name), (name))
  QZ_NODE_FORWARD(get_nodeValue, (VARIANT * value), (value))
  QZ_NODE_FORWARD(put_nodeValue, (VARIANT value), (value))
  QZ_NODE_FORWARD(get_nodeType, (DOMNodeType * type), (type))
  QZ_NODE_FORWARD(get_parentNode, (IXMLDOMNode * *parent), (parent))
  QZ_NODE_FORWARD(get_childNodes, (IXMLDOMNodeList * *childList), (childList))
  QZ_NODE_FORWARD(get_firstChild, (IXMLDOMNode * *firstChild), (firstChild))
  QZ_NODE_FORWARD(get_lastChild, (IXMLDOMNode * *lastChild), (lastChild))
  QZ_NODE_FORWARD(get_previousSibling, (IXMLDOMNode * *previousSibling), (previousSibling))
  QZ_NODE_FORWARD(get_nextSibling, (IXMLDOMNode * *nextSibling), (nextSibling))
  QZ_NODE_FORWARD(get_attributes, (IXMLDOMNamedNodeMap * *attributeMap), (attributeMap))
  QZ_NODE_FORWARD(insertBefore, (IXMLDOMNode * newChild, VARIANT refChild, IXMLDOMNode** outNewChild),
                  (newChild, refChild, outNewChild))
  QZ_NODE_FORWARD(replaceChild, (IXMLDOMNode * newChild, IXMLDOMNode* oldChild, IXMLDOMNode** outOldChild),
                  (newChild, oldChild, outOldChild))
  QZ_NODE_FORWARD(removeChild, (IXMLDOMNode * childNode, IXMLDOMNode** oldChild), (childNode, oldChild))
  QZ_NODE_FORWARD(appendChild, (IXMLDOMNode * newChild, IXMLDOMNode** outNewChild), (newChild, outNewChild))
  QZ_NODE_FORWARD(hasChildNodes, (VARIANT_BOOL * hasChild), (hasChild))
  QZ_NODE_FORWARD(get_ownerDocument, (IXMLDOMDocument * *document), (document))
  QZ_NODE_FORWARD(cloneNode, (VARIANT_BOOL deep, IXMLDOMNode** cloneRoot), (deep, cloneRoot))
  QZ_NODE_FORWARD(get_nodeTypeString, (BSTR * nodeType), (nodeType))
  QZ_NODE_FORWARD(get_text, (BSTR * text), (text))
  QZ_NODE_FORWARD(put_text, (BSTR text), (text))
  QZ_NODE_FORWARD(get_specified, (VARIANT_BOOL * isSpecified), (isSpecified))
  HRESULT STDMETHODCALLTYPE get_definition(IXMLDOMNode** definitionNode) override { return E_NOTIMPL; }
  QZ_NODE_FORWARD(get_nodeTypedValue, (VARIANT * typedValue), (typedValue))
  QZ_NODE_FORWARD(put_nodeTypedValue, (VARIANT typedValue), (typedValue))
  QZ_NODE_FORWARD(get_dataType, (VARIANT * dataTypeName), (dataTypeName))
  QZ_NODE_FORWARD(put_dataType, (BSTR dataTypeName), (dataTypeName))
  QZ_NODE_FORWARD(get_xml, (BSTR * xmlString), (xmlString))
  HRESULT STDMETHODCALLTYPE transformNode(IXMLDOMNode* stylesheet, BSTR* xmlString) override { return E_NOTIMPL; }
  QZ_NODE_FORWARD(selectNodes, (BSTR queryString, IXMLDOMNodeList** resultList), (queryString, resultList))
  QZ_NODE_FORWARD(selectSingleNode, (BSTR queryString, IXMLDOMNode** resultNode), (queryString, resultNode))
  HRESULT STDMETHODCALLTYPE get_parsed(VARIANT_BOOL* isParsed) override {
    if (isParsed == nullptr) return E_INVALIDARG;
    *isParsed = VARIANT_TRUE;
    return S_OK;
  }
  QZ_NODE_FORWARD(get_namespaceURI, (BSTR * namespaceURI), (namespaceURI))
  QZ_NODE_FORWARD(get_prefix, (BSTR * prefixString), (prefixString))
  QZ_NODE_FORWARD(get_baseName, (BSTR * nameString), (nameString))
  HRESULT STDMETHODCALLTYPE transformNodeToObject(IXMLDOMNode* stylesheet, VARIANT outputObject) override {
    return E_NOTIMPL;
  }
};

#undef QZ_NODE_FORWARD

}  // namespace qzwin::msxml
