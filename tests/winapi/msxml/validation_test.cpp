// Validation on load and by validate(): inline XDR, XSD through the schemas
// collection, DTDs, and the answers validate() gives.
#include "msxml_test_support.h"

namespace msxmltest {
namespace {

constexpr HRESULT kNoDtd = static_cast<HRESULT>(0xC00CE224);

const char* const kEncodingsFile =
    "<QZEncodings>"
    "<Schema name='Encodingtypes' xmlns='urn:schemas-microsoft-com:xml-data' "
    "xmlns:dt='urn:schemas-microsoft-com:datatypes'>"
    "<AttributeType name='Active' dt:type='enumeration' dt:values='0 1' default='0'/>"
    "<AttributeType name='EncodingType' dt:type='string' required='yes'/>"
    "<ElementType name='Encoding' content='empty' model='closed'>"
    "<attribute type='Active'/><attribute type='EncodingType'/></ElementType>"
    "<ElementType name='Encodings' content='eltOnly' model='closed'>"
    "<element type='Encoding' minOccurs='0' maxOccurs='*'/></ElementType>"
    "</Schema>"
    "<Encodings xmlns='x-schema:#Encodingtypes'>"
    "<Encoding Active='1' EncodingType=\"version='1.0' encoding ='ISO-8859-1'\"/>"
    "<Encoding EncodingType=\"version='1.0' encoding='UTF-8'\"/>"
    "</Encodings></QZEncodings>";

const char* const kXsd =
    "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' targetNamespace='x-schema:test.xsd' "
    "xmlns='x-schema:test.xsd' elementFormDefault='qualified'>"
    "<xs:element name='Doc'><xs:complexType><xs:sequence>"
    "<xs:element name='Item' maxOccurs='unbounded'><xs:complexType>"
    "<xs:attribute name='n' type='xs:int' use='required'/></xs:complexType></xs:element>"
    "</xs:sequence></xs:complexType></xs:element></xs:schema>";

std::string Without(std::string text, const std::string& part) {
  size_t at = text.find(part);
  if (at != std::string::npos) text.erase(at, part.size());
  return text;
}

class Validation : public DomTest {
 protected:
  IXMLDOMSchemaCollectionPtr TestSchemas() {
    IXMLDOMSchemaCollectionPtr cache = NewSchemaCache();
    IXMLDOMDocument2Ptr schema = NewDocument(CLSID_FreeThreadedDOMDocument60);
    EXPECT_TRUE(LoadXml(schema, kXsd));
    EXPECT_EQ(S_OK, cache->add(_bstr_t("x-schema:test.xsd"), _variant_t(static_cast<IDispatch*>(schema))));
    return cache;
  }
};

TEST_F(Validation, CacheFileShape) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  ASSERT_TRUE(LoadXml(doc, kCacheFile.c_str()));
  EXPECT_EQ(S_OK, doc->validate(nullptr));

  // QZSchemas needs at least one QZSchema, even with mixed content.
  std::string entry =
      "<QZSchema urn=\"x-schema:Tavel-basic-datatypes.xml\" Filename=\"C:\\WINNT\\SYSTEM32\\Tavel-basic-datatypes.xml\"/>";
  std::string empty = Without(kCacheFile, entry);
  EXPECT_FALSE(LoadXml(doc, empty.c_str()));
  EXPECT_LT(ParseErrorOf(doc).code, 0);

  // Without validateOnParse it loads; validate() then fails with the code.
  doc->put_validateOnParse(VARIANT_FALSE);
  ASSERT_TRUE(LoadXml(doc, empty.c_str()));
  IXMLDOMParseErrorPtr error;
  HRESULT hr = doc->validate(&error);
  EXPECT_LT(hr, 0);
  LONG code = 0;
  error->get_errorCode(&code);
  EXPECT_EQ(hr, code);

  std::string noFilename = Without(kCacheFile, " Filename=\"C:\\WINNT\\SYSTEM32\\Tavel-basic-datatypes.xml\"");
  ASSERT_TRUE(LoadXml(doc, noFilename.c_str()));
  EXPECT_LT(doc->validate(nullptr), 0);
}

TEST_F(Validation, EncodingsFileShape) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  ASSERT_TRUE(LoadXml(doc, kEncodingsFile));
  EXPECT_EQ(S_OK, doc->validate(nullptr));
  doc->setProperty(_bstr_t("SelectionNamespaces"), _variant_t("xmlns:qz='x-schema:#Encodingtypes'"));
  EXPECT_EQ(1, LengthOf(Select(doc, "/QZEncodings/qz:Encodings/qz:Encoding[@Active=\"1\"]")));
  // The validating load gave the entry without Active the schema's default.
  EXPECT_EQ(1, LengthOf(Select(doc, "/QZEncodings/qz:Encodings/qz:Encoding[@Active=\"0\"]")));

  std::string badValue = kEncodingsFile;
  badValue.replace(badValue.find("Active='1'"), 10, "Active='7'");
  EXPECT_FALSE(LoadXml(doc, badValue.c_str()));
  std::string stranger = kEncodingsFile;
  stranger.replace(stranger.find("</Encodings>"), 0, "<Other/>");
  EXPECT_FALSE(LoadXml(doc, stranger.c_str()));  // a closed model admits nothing undeclared
}

TEST_F(Validation, NothingToValidateAgainst) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  ASSERT_TRUE(LoadXml(doc, "<plain/>"));
  IXMLDOMParseErrorPtr error;
  EXPECT_EQ(S_FALSE, doc->validate(&error));
  LONG code = 0;
  error->get_errorCode(&code);
  EXPECT_EQ(kNoDtd, code);
}

TEST_F(Validation, XsdThroughTheSchemasCollection) {
  IXMLDOMSchemaCollectionPtr cache = TestSchemas();
  IXMLDOMDocument2Ptr doc = NewDocument();
  ASSERT_EQ(S_OK, doc->putref_schemas(_variant_t(static_cast<IDispatch*>(cache))));
  ASSERT_TRUE(LoadXml(doc, "<Doc xmlns='x-schema:test.xsd'><Item n='1'/><Item n='2'/></Doc>"));
  EXPECT_EQ(S_OK, doc->validate(nullptr));
  EXPECT_FALSE(LoadXml(doc, "<Doc xmlns='x-schema:test.xsd'><Item n='x'/></Doc>"));
  EXPECT_FALSE(LoadXml(doc, "<Doc xmlns='x-schema:test.xsd'><Item/></Doc>"));
  EXPECT_EQ(static_cast<LONG>(0xC00CE020), ParseErrorOf(doc).code);

  // Only the subtrees of the schema's namespace are validated.
  doc->put_validateOnParse(VARIANT_FALSE);
  ASSERT_TRUE(LoadXml(doc, "<wrap><Doc xmlns='x-schema:test.xsd'><Extra/></Doc></wrap>"));
  EXPECT_LT(doc->validate(nullptr), 0);
  ASSERT_TRUE(LoadXml(doc, "<wrap><Doc xmlns='x-schema:test.xsd'><Item n='3'/></Doc><free/></wrap>"));
  EXPECT_EQ(S_OK, doc->validate(nullptr));
}

TEST_F(Validation, Dtd) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  const char* valid = "<!DOCTYPE r [<!ELEMENT r (a)><!ELEMENT a EMPTY>]><r><a/></r>";
  ASSERT_TRUE(LoadXml(doc, valid));
  EXPECT_EQ(S_OK, doc->validate(nullptr));
  EXPECT_FALSE(LoadXml(doc, "<!DOCTYPE r [<!ELEMENT r (a)><!ELEMENT a EMPTY>]><r><a/><a/></r>"));
  EXPECT_EQ(static_cast<LONG>(0xC00CE014), ParseErrorOf(doc).code);
  EXPECT_FALSE(LoadXml(doc, "<!DOCTYPE r [<!ELEMENT a EMPTY>]><r/>"));
  EXPECT_EQ(static_cast<LONG>(0xC00CE00D), ParseErrorOf(doc).code);
}

}  // namespace
}  // namespace msxmltest
