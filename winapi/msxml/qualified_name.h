// Qualified names (prefix:local) as the DOM shows and takes them.
#pragma once

#include <string>

#include <libxml/tree.h>

namespace qzwin::msxml {

struct QualifiedName {
  std::string prefix;  // empty: none
  std::string local;
};

// False when `name` is not a well-formed qualified name.
bool SplitQualifiedName(const std::string& name, QualifiedName* out);

// prefix:name of an element or attribute; the name of other nodes.
std::string QualifiedNameOf(xmlNodePtr node);

}  // namespace qzwin::msxml
