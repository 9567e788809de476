#include "documents.h"

#include <libxml/parser.h>

#include <fstream>
#include <iterator>

namespace qzdocs {

std::string ReadDocumentFile(const std::string& fileName) {
  std::ifstream in(std::string(QZ_RESOURCES_DIR) + "/" + fileName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

XmlDoc ParseXml(const std::string& bytes) {
  return XmlDoc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "document.xml", nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
}

std::vector<xmlNode*> ChildElements(const xmlNode* parent, const char* localName) {
  std::vector<xmlNode*> children;
  for (xmlNode* child = parent->children; child != nullptr; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) continue;
    if (localName != nullptr && LocalName(child) != localName) continue;
    children.push_back(child);
  }
  return children;
}

namespace {

std::string QualifiedName(const xmlAttr* attribute) {
  std::string name = reinterpret_cast<const char*>(attribute->name);
  if (attribute->ns != nullptr && attribute->ns->prefix != nullptr) {
    name = std::string(reinterpret_cast<const char*>(attribute->ns->prefix)) + ":" + name;
  }
  return name;
}

std::string Value(const xmlAttr* attribute) {
  xmlChar* text = xmlNodeListGetString(attribute->doc, attribute->children, 1);
  std::string value = text != nullptr ? reinterpret_cast<const char*>(text) : "";
  xmlFree(text);
  return value;
}

}  // namespace

std::optional<std::string> Attribute(const xmlNode* element, const std::string& qualifiedName) {
  for (const xmlAttr* attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
    if (QualifiedName(attribute) == qualifiedName) return Value(attribute);
  }
  return std::nullopt;
}

std::string LocalName(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

}  // namespace qzdocs
