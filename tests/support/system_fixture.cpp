#include "support/system_fixture.h"

#include "schemas/CreateDocument.h"
#include "support/cache_file_text.h"

namespace systemtest {

std::string CacheText() { return qztest::CacheFile("<QZSchema urn=\"x-schema:a.xml\" Filename=\"C:\\a.xml\"/>"); }

std::string CacheTextWithoutEntries() { return qztest::CacheFile(""); }

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
