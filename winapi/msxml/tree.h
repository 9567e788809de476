// One libxml2 document and the nodes that belong to it but hang in no tree
// (made by create*, or removed). DOM objects share the Tree of their node, so
// a removed node lives as long as anything refers to it, and a document that
// loads anew leaves the old tree to the nodes still holding it.
#pragma once

#include <memory>
#include <unordered_set>

#include <libxml/tree.h>

namespace qzwin::msxml {

class Tree {
 public:
  explicit Tree(xmlDocPtr doc) : doc_(doc) {}
  ~Tree();
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;

  xmlDocPtr doc() const { return doc_; }

  // Takes a node out of its parent; it stays alive with the tree.
  void Detach(xmlNodePtr node);
  // A node made outside any parent stays alive with the tree.
  void KeepDetached(xmlNodePtr node) { detached_.insert(node); }

  // Links child under parent before `before` (null: as the last child),
  // taking it from wherever it was, and gives it the namespace declarations
  // it needs where it now stands. Never merges text nodes.
  void InsertChild(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr before);

 private:
  xmlDocPtr doc_;
  std::unordered_set<xmlNodePtr> detached_;
};

// Makes every element and attribute of the subtree carry a namespace that is
// declared in scope, declaring on the node itself what is missing, and adds
// xmlns="" to an element in no namespace that would otherwise fall into an
// inherited default namespace.
void FixNamespaces(xmlDocPtr doc, xmlNodePtr subtree);

}  // namespace qzwin::msxml
