// XMLSchemaCache60: what add accepts and refuses, and the collection's keys.
#include <support/temp_root.h>

#include "msxml_test_support.h"

namespace msxmltest {
namespace {

const char* const kSchemaA =
    "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' targetNamespace='urn:a'>"
    "<xs:element name='a' type='xs:string'/></xs:schema>";
const char* const kNoNamespace =
    "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'><xs:element name='n' type='xs:int'/></xs:schema>";

class SchemaCache : public DomTest {
 protected:
  _variant_t Loaded(const char* text) {
    IXMLDOMDocument2Ptr doc = NewDocument(CLSID_FreeThreadedDOMDocument60);
    EXPECT_TRUE(LoadXml(doc, text));
    return _variant_t(static_cast<IDispatch*>(doc));
  }
  std::string ErrorDescription() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return {};
    BSTR text = nullptr;
    info->GetDescription(&text);
    info->Release();
    std::string description = Utf8(text);
    SysFreeString(text);
    return description;
  }
};

TEST_F(SchemaCache, AddsXsdUnderItsTargetNamespace) {
  IXMLDOMSchemaCollectionPtr cache = NewSchemaCache();
  ASSERT_EQ(S_OK, cache->add(_bstr_t("urn:a"), Loaded(kSchemaA)));
  ASSERT_EQ(S_OK, cache->add(nullptr, Loaded(kNoNamespace)));  // null: no namespace
  LONG length = 0;
  cache->get_length(&length);
  EXPECT_EQ(2, length);
  BSTR uri = nullptr;
  ASSERT_EQ(S_OK, cache->get_namespaceURI(0, &uri));
  EXPECT_EQ("urn:a", Utf8(uri));
  SysFreeString(uri);
  IXMLDOMNodePtr schema;
  EXPECT_EQ(S_OK, cache->get(_bstr_t("urn:a"), &schema));

  // Adding a key again replaces its schema; VT_NULL removes it.
  ASSERT_EQ(S_OK, cache->add(_bstr_t("urn:a"), Loaded(kSchemaA)));
  cache->get_length(&length);
  EXPECT_EQ(2, length);
  _variant_t null;
  null.vt = VT_NULL;
  ASSERT_EQ(S_OK, cache->add(_bstr_t("urn:a"), null));
  cache->get_length(&length);
  EXPECT_EQ(1, length);
}

TEST_F(SchemaCache, RefusesWhatIsNotACompilableXsdWithErrorInfo) {
  IXMLDOMSchemaCollectionPtr cache = NewSchemaCache();
  struct Case {
    const char* key;
    const char* text;
  };
  const Case refused[] = {
      {"x-schema:#QZSchemas", "<Schema name='QZSchemas' xmlns='urn:schemas-microsoft-com:xml-data'/>"},  // XDR
      {"urn:a", "<notASchema/>"},
      {"urn:a", "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' targetNamespace='urn:a'>"
                "<xs:element name='a' type='xs:noSuchType'/></xs:schema>"},
      {"urn:other", kSchemaA},  // the key differs from the targetNamespace
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.text);
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(E_FAIL, cache->add(_bstr_t(c.key), Loaded(c.text)));
    EXPECT_FALSE(ErrorDescription().empty());
  }
  LONG length = -1;
  cache->get_length(&length);
  EXPECT_EQ(0, length);
}

TEST_F(SchemaCache, AddLeavesTheDocumentAsItWasAndNeedsItNoLonger) {
  // What compiling strips (comments, white space kept by preserveWhiteSpace)
  // stays in the document the caller holds.
  const char* const texts[] = {
      kSchemaA,
      "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' targetNamespace='urn:a'><!-- note -->"
      "<?pi data?>\n  <xs:element name='a' type='xs:string'/></xs:schema>",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    IXMLDOMDocument2Ptr schema = NewDocument(CLSID_FreeThreadedDOMDocument60);
    schema->put_preserveWhiteSpace(VARIANT_TRUE);
    ASSERT_TRUE(LoadXml(schema, text));
    const std::string before = XmlOf(schema);
    IXMLDOMSchemaCollectionPtr cache = NewSchemaCache();
    ASSERT_EQ(S_OK, cache->add(_bstr_t("urn:a"), _variant_t(static_cast<IDispatch*>(schema))));
    EXPECT_EQ(before, XmlOf(schema));

    // The document loads anew and goes; the collection still validates.
    ASSERT_TRUE(LoadXml(schema, "<other/>"));
    schema = nullptr;
    IXMLDOMDocument2Ptr doc = NewDocument();
    ASSERT_EQ(S_OK, doc->putref_schemas(_variant_t(static_cast<IDispatch*>(cache))));
    EXPECT_TRUE(LoadXml(doc, "<a xmlns='urn:a'>text</a>"));
    EXPECT_FALSE(LoadXml(doc, "<a xmlns='urn:a'><b/></a>"));
  }
}

TEST_F(SchemaCache, AddsByPathAndFromAnotherCollection) {
  auto path = WriteFile(qztest::FreshDirectory("schemas") / "a.xsd", kSchemaA);
  IXMLDOMSchemaCollectionPtr first = NewSchemaCache();
  ASSERT_EQ(S_OK, first->add(_bstr_t("urn:a"), _variant_t(path.string().c_str())));
  EXPECT_EQ(E_FAIL, first->add(_bstr_t("urn:b"), _variant_t((path.string() + ".missing").c_str())));
  IXMLDOMSchemaCollectionPtr second = NewSchemaCache();
  ASSERT_EQ(S_OK, second->addCollection(first));
  LONG length = 0;
  second->get_length(&length);
  EXPECT_EQ(1, length);
}

TEST_F(SchemaCache, TakesTheBuiltInDatatypesSchemaUnderItsUrn) {
  // As the service builds its collection: a validating free-threaded load
  // (nothing to validate against is no failure), then add under the URN.
  IXMLDOMDocument2Ptr schema = NewDocument(CLSID_FreeThreadedDOMDocument60);
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(S_OK, schema->load(_variant_t(QZ_RESOURCES_DIR "/Tavel-basic-datatypes.xml"), &ok));
  EXPECT_EQ(S_FALSE, schema->validate(nullptr));
  IXMLDOMSchemaCollectionPtr cache = NewSchemaCache();
  EXPECT_EQ(S_OK, cache->add(_bstr_t("x-schema:Tavel-basic-datatypes.xml"),
                             _variant_t(static_cast<IDispatch*>(schema))));
}

}  // namespace
}  // namespace msxmltest
