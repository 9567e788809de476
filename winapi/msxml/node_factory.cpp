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

// The tree is taken by reference, so that a new object copies its pointer once.
NodeBase* MakeObject(const std::shared_ptr<Tree>& tree, IXMLDOMDocument2* owner, xmlNodePtr node) {
  switch (node->type) {
    case XML_ELEMENT_NODE: return new Element(tree, node, owner);
    case XML_ATTRIBUTE_NODE: return new Attribute(tree, node, owner);
    case XML_TEXT_NODE: return new Text(tree, node, owner);
    case XML_CDATA_SECTION_NODE: return new CDATASection(tree, node, owner);
    case XML_COMMENT_NODE: return new Comment(tree, node, owner);
    case XML_PI_NODE: return new ProcessingInstruction(tree, node, owner);
    case XML_DOCUMENT_FRAG_NODE: return new DocumentFragment(tree, node, owner);
    case XML_DTD_NODE: case XML_DOCUMENT_TYPE_NODE: return new DocumentType(tree, node, owner);
    case XML_ENTITY_REF_NODE: return new EntityReference(tree, node, owner);
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

// The one object of node in the given tree and document.
HRESULT Wrap(const std::shared_ptr<Tree>& tree, IXMLDOMDocument2* owner, xmlNodePtr node, IXMLDOMNode** out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = nullptr;
  if (node == nullptr) return S_FALSE;
  if (TakeExisting(node, out)) return S_OK;
  NodeBase* made = MakeObject(tree, owner, node);
  if (made == nullptr) return S_FALSE;
  *out = made->AsNode();  // the new object's one reference goes to the caller
  return S_OK;
}

}  // namespace

HRESULT WrapNode(const NodeScope& scope, xmlNodePtr node, IXMLDOMNode** out) {
  return Wrap(scope.tree, scope.owner, node, out);
}

HRESULT WrapNode(NodeBase& relative, xmlNodePtr node, IXMLDOMNode** out) {
  return Wrap(relative.tree(), relative.ownerDocument(), node, out);
}

}  // namespace qzwin::msxml
