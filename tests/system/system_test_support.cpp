#include "system_test_support.h"

#include <fstream>
#include <sstream>

#include "schemas/CreateDocument.h"

namespace systemtest {

const char* const kCacheText =
    "<QZSchemasRoot xmlns=\"urn:schemas-microsoft-com:xml-data\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
    "<Schema name=\"QZSchemas\" xmlns=\"urn:schemas-microsoft-com:xml-data\">"
    "<AttributeType name=\"urn\" dt:type=\"string\" required=\"yes\"/>"
    "<ElementType name=\"QZSchema\" content=\"empty\"><attribute type=\"urn\"/></ElementType>"
    "<ElementType name=\"QZSchemas\" content=\"eltOnly\">"
    "<element type=\"QZSchema\" minOccurs=\"1\" maxOccurs=\"*\"/></ElementType>"
    "</Schema>"
    "<QZSchemas xmlns=\"x-schema:#QZSchemas\"><QZSchema urn=\"x-schema:a.xml\"/></QZSchemas>"
    "</QZSchemasRoot>";

std::filesystem::path WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Narrow(const _bstr_t& text) {
  const char* narrow = text;
  return narrow != nullptr ? narrow : "";
}

std::string XmlOf(IXMLDOMNode* node) {
  _bstr_t xml;
  EXPECT_EQ(S_OK, node->get_xml(xml.GetAddress()));
  return Narrow(xml);
}

IXMLDOMDocument2Ptr LoadedDocument(const char* text) {
  IXMLDOMDocument2Ptr doc;
  EXPECT_EQ(S_OK, CreateDocument(&doc));
  VARIANT_BOOL ok = VARIANT_FALSE;
  EXPECT_EQ(S_OK, doc->loadXML(_bstr_t(text), &ok));
  EXPECT_EQ(VARIANT_TRUE, ok);
  return doc;
}

}  // namespace systemtest
