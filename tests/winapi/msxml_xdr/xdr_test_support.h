// Parsing helpers shared by the XDR validator tests.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <libxml/parser.h>

#include "xdr_validator.h"

namespace xdrtest {

struct DocFree {
  void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

inline Doc Parse(std::string_view xml) {
  return Doc(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "test.xml", nullptr,
                           XML_PARSE_NONET));
}

struct Result {
  HRESULT hr = S_OK;
  qzwin::msxml::XdrError error;
  Doc doc;  // keeps error.node alive
};

inline Result Validate(std::string_view xml) {
  Result result;
  result.doc = Parse(xml);
  result.hr = qzwin::msxml::ValidateInlineXdr(result.doc.get(), &result.error);
  return result;
}

inline std::string NodeName(const xmlNode* node) {
  return node && node->name ? reinterpret_cast<const char*>(node->name) : "";
}

// A document whose root holds the inline schema "S" (the given declarations)
// and then the instance (elements in the namespace x-schema:#S by default).
inline std::string WithSchema(std::string_view declarations, std::string_view instance) {
  std::string xml =
      "<root xmlns:i='x-schema:#S'>"
      "<Schema name='S' xmlns='urn:schemas-microsoft-com:xml-data' "
      "xmlns:dt='urn:schemas-microsoft-com:datatypes'>";
  xml += declarations;
  xml += "</Schema>";
  xml += instance;
  xml += "</root>";
  return xml;
}

}  // namespace xdrtest
