// Makes the one DOM object of a libxml2 node, of the class its type needs.
#include "attribute.h"
#include "character_data.h"
#include "element.h"
#include "node_impl.h"
#include "other_nodes.h"
#include "processing_instruction.h"

namespace qzwin::msxml {

const IID IID_QzNodeBase = {0x1d6f4c52, 0x93a8, 0x4b0e, {0x8c, 0x17, 0x62, 0xe4, 0x5a, 0x90, 0x3b, 0xd1}};

NodeBase* NodeFromInterface(IUnknown* object) {
  void* found = nullptr;
  if (object == nullptr || FAILED(object->QueryInterface(IID_QzNodeBase, &found))) return nullptr;
  auto* base = static_cast<NodeBase*>(found);
  base->AsNode()->Release();  // the caller holds the object; the pointer is borrowed
  return base;
}

namespace {

NodeBase* MakeObject(const NodeScope& scope, xmlNodePtr node) {
  switch (node->type) {
    case XML_ELEMENT_NODE: return new Element(scope.tree, node, scope.owner);
    case XML_ATTRIBUTE_NODE: return new Attribute(scope.tree, node, scope.owner);
    case XML_TEXT_NODE: return new Text(scope.tree, node, scope.owner);
    case XML_CDATA_SECTION_NODE: return new CDATASection(scope.tree, node, scope.owner);
    case XML_COMMENT_NODE: return new Comment(scope.tree, node, scope.owner);
    case XML_PI_NODE: return new ProcessingInstruction(scope.tree, node, scope.owner);
    case XML_DOCUMENT_FRAG_NODE: return new DocumentFragment(scope.tree, node, scope.owner);
    case XML_DTD_NODE: case XML_DOCUMENT_TYPE_NODE: return new DocumentType(scope.tree, node, scope.owner);
    case XML_ENTITY_REF_NODE: return new EntityReference(scope.tree, node, scope.owner);
    default: return nullptr;  // declarations inside a DTD, and documents without their object
  }
}

// The node's object when it has one already, with a reference added.
bool TakeExisting(xmlNodePtr node, IXMLDOMNode** out) {
  auto* existing = static_cast<NodeBase*>(node->_private);
  if (existing == nullptr) return false;
  *out = existing->AsNode();
  (*out)->AddRef();
  return true;
}

}  // namespace

HRESULT WrapNode(const NodeScope& scope, xmlNodePtr node, IXMLDOMNode** out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = nullptr;
  if (node == nullptr) return S_FALSE;
  if (TakeExisting(node, out)) return S_OK;
  NodeBase* made = MakeObject(scope, node);
  if (made == nullptr) return S_FALSE;
  *out = made->AsNode();  // the new object's one reference goes to the caller
  return S_OK;
}

HRESULT WrapNode(NodeBase& relative, xmlNodePtr node, IXMLDOMNode** out) {
  if (out != nullptr && node != nullptr && TakeExisting(node, out)) return S_OK;
  return WrapNode(ScopeOf(relative), node, out);
}

}  // namespace qzwin::msxml
