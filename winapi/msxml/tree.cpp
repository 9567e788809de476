#include "tree.h"

namespace qzwin::msxml {

Tree::~Tree() {
  for (xmlNodePtr node : detached_) {
    if (node->parent == nullptr) xmlFreeNode(node);
  }
  if (doc_ != nullptr) xmlFreeDoc(doc_);
}

void Tree::Detach(xmlNodePtr node) {
  xmlUnlinkNode(node);
  detached_.insert(node);
}

void Tree::InsertChild(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr before) {
  if (child->parent != nullptr) xmlUnlinkNode(child);
  detached_.erase(child);
  // Linked by hand: xmlAddChild and friends merge adjacent text nodes and
  // free one of them, which would pull a node out from under its DOM object.
  child->parent = parent;
  child->next = before;
  child->prev = before != nullptr ? before->prev : parent->last;
  if (child->prev != nullptr) {
    child->prev->next = child;
  } else {
    parent->children = child;
  }
  if (before != nullptr) {
    before->prev = child;
  } else {
    parent->last = child;
  }
  if (child->doc != parent->doc) xmlSetTreeDoc(child, parent->doc);
  FixNamespaces(parent->doc, child);
}

namespace {

bool SameHref(const xmlNs* a, const xmlChar* href) {
  return a != nullptr && xmlStrEqual(a->href, href);
}

// The namespace `ns` as seen from `node`: the in-scope declaration of its
// prefix when that means the same URI, else a new declaration on `holder`.
xmlNsPtr InScope(xmlDocPtr doc, xmlNodePtr node, xmlNodePtr holder, xmlNsPtr ns) {
  xmlNsPtr found = xmlSearchNs(doc, node, ns->prefix);
  if (SameHref(found, ns->href)) return found;
  xmlNsPtr declared = xmlNewNs(holder, ns->href, ns->prefix);
  return declared != nullptr ? declared : ns;
}

void FixElement(xmlDocPtr doc, xmlNodePtr element) {
  if (element->ns != nullptr) {
    element->ns = InScope(doc, element, element, element->ns);
  } else {
    xmlNsPtr inherited = xmlSearchNs(doc, element, nullptr);
    if (inherited != nullptr && inherited->href != nullptr && inherited->href[0] != '\0') {
      xmlNewNs(element, BAD_CAST "", nullptr);
    }
  }
  for (xmlAttrPtr attr = element->properties; attr != nullptr; attr = attr->next) {
    if (attr->ns != nullptr && attr->ns->prefix != nullptr) attr->ns = InScope(doc, element, element, attr->ns);
  }
}

}  // namespace

void FixNamespaces(xmlDocPtr doc, xmlNodePtr subtree) {
  if (subtree->type != XML_ELEMENT_NODE) return;
  xmlNodePtr node = subtree;
  while (node != nullptr) {
    FixElement(doc, node);
    // Depth-first, parents before their children, so that each sees the
    // declarations its ancestors just gained.
    xmlNodePtr next = node->children;
    while (next != nullptr && next->type != XML_ELEMENT_NODE) next = next->next;
    if (next != nullptr) {
      node = next;
      continue;
    }
    while (node != subtree) {
      next = node->next;
      while (next != nullptr && next->type != XML_ELEMENT_NODE) next = next->next;
      if (next != nullptr) break;
      node = node->parent;
    }
    if (node == subtree) break;
    node = next;
  }
}

}  // namespace qzwin::msxml
