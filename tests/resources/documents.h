// Reading the built-in documents and looking into them with libxml2.
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qzdocs {

// The bytes of a built-in document as the resources folder holds it.
std::string ReadDocumentFile(const std::string& fileName);

struct XmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDoc = std::unique_ptr<xmlDoc, XmlDocFree>;

// Parsed without network access and without messages; null when the text is
// not well-formed.
XmlDoc ParseXml(const std::string& bytes);

// Element children, optionally only those with the given local name.
std::vector<xmlNode*> ChildElements(const xmlNode* parent, const char* localName = nullptr);

// An attribute by its name as written ("name", "dt:type"); nullopt when absent.
std::optional<std::string> Attribute(const xmlNode* element, const std::string& qualifiedName);

std::string LocalName(const xmlNode* node);

}  // namespace qzdocs
