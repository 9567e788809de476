#include "qualified_name.h"

#include <libxml/valid.h>

namespace qzwin::msxml {

bool SplitQualifiedName(const std::string& name, QualifiedName* out) {
  if (name.empty() || xmlValidateQName(BAD_CAST name.c_str(), 0) != 0) return false;
  size_t colon = name.find(':');
  if (colon == std::string::npos) {
    out->prefix.clear();
    out->local = name;
  } else {
    out->prefix = name.substr(0, colon);
    out->local = name.substr(colon + 1);
  }
  return true;
}

std::string QualifiedNameOf(xmlNodePtr node) {
  std::string name;
  if ((node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE) && node->ns != nullptr &&
      node->ns->prefix != nullptr) {
    name = reinterpret_cast<const char*>(node->ns->prefix);
    name += ':';
  }
  if (node->name != nullptr) name += reinterpret_cast<const char*>(node->name);
  return name;
}

}  // namespace qzwin::msxml
