#include "support/collection_fixture.h"

#include <filesystem>
#include <fstream>

#include <qzwin/platform.h>

#include "schemas/CreateDocument.h"
#include "support/temp_root.h"

namespace collectiontest {

std::string XsdText(const std::string& targetNamespace, const char* rootName) {
  return "<?xml version=\"1.0\"?>\n"
         "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" targetNamespace=\"" +
         targetNamespace + "\" xmlns=\"" + targetNamespace +
         "\" elementFormDefault=\"qualified\">\n"
         "  <xs:element name=\"" +
         rootName +
         "\"><xs:complexType><xs:sequence>"
         "<xs:element name=\"Reading\" type=\"xs:decimal\" minOccurs=\"0\" maxOccurs=\"unbounded\"/>"
         "</xs:sequence><xs:attribute name=\"id\" type=\"xs:string\" use=\"required\"/></xs:complexType>"
         "</xs:element>\n"
         "</xs:schema>\n";
}

const char* const kXdrText =
    "<Schema name=\"Old\" xmlns=\"urn:schemas-microsoft-com:xml-data\">"
    "<ElementType name=\"Old\" content=\"empty\"/></Schema>";

void CollectionTest::SetUp() {
  CacheTest::SetUp();
  folder_ = qztest::FreshDirectory(testing::UnitTest::GetInstance()->current_test_info()->name()).string();
}

std::string CollectionTest::WriteSchemaFile(const char* name, const std::string& bytes) {
  const std::filesystem::path path = std::filesystem::path(folder_) / name;
  std::ofstream(path, std::ios::binary) << bytes;
  return qzwin::ToWindowsPath(path.string());
}

std::vector<std::string> CollectionTest::UrnsOf(IXMLDOMSchemaCollection* collection) {
  std::vector<std::string> urns;
  LONG length = 0;
  EXPECT_EQ(S_OK, collection->get_length(&length));
  for (LONG i = 0; i < length; ++i) {
    _bstr_t urn;
    EXPECT_EQ(S_OK, collection->get_namespaceURI(i, urn.GetAddress()));
    urns.push_back(Narrow(urn));
  }
  return urns;
}

IXMLDOMDocument2Ptr CollectionTest::UncheckedCacheDocument(const std::string& text) {
  IXMLDOMDocument2Ptr doc;
  EXPECT_EQ(S_OK, CreateDocument(&doc));
  EXPECT_EQ(S_OK, doc->put_validateOnParse(VARIANT_FALSE));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  EXPECT_EQ(S_OK, doc->loadXML(_bstr_t(text.c_str()), &loaded));
  EXPECT_EQ(VARIANT_TRUE, loaded) << text;
  return doc;
}

}  // namespace collectiontest
