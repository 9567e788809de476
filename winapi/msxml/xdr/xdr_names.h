// Namespaces and lookup helpers shared by the XDR validator's parts.
#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include <libxml/tree.h>

namespace qzwin::msxml::xdr {

inline constexpr std::string_view kXdrNamespace = "urn:schemas-microsoft-com:xml-data";
inline constexpr std::string_view kDatatypesNamespace = "urn:schemas-microsoft-com:datatypes";
// A namespace "x-schema:#Name" refers to the inline Schema element named Name.
inline constexpr std::string_view kInlineSchemaPrefix = "x-schema:#";

inline std::string_view View(const xmlChar* text) {
  return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

inline std::string_view NamespaceOf(const xmlNode* node) {
  return node->ns ? View(node->ns->href) : std::string_view();
}

inline std::string_view NamespaceOf(const xmlAttr* attr) {
  return attr->ns ? View(attr->ns->href) : std::string_view();
}

// The name as the document spells it: prefix:local or local.
inline std::string QualifiedName(const xmlNode* node) {
  std::string name;
  if (node->ns && node->ns->prefix) name.append(View(node->ns->prefix)).append(":");
  return name.append(View(node->name));
}

inline std::string QualifiedName(const xmlAttr* attr) {
  std::string name;
  if (attr->ns && attr->ns->prefix) name.append(View(attr->ns->prefix)).append(":");
  return name.append(View(attr->name));
}

// A name with its namespace URI (empty for none).
struct ExpandedName {
  std::string ns;
  std::string name;
};

struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

// A map keyed by name that can be searched with a string_view.
template <typename T>
using NameMap = std::unordered_map<std::string, T, NameHash, std::equal_to<>>;

}  // namespace qzwin::msxml::xdr
