// The module's shared schema-cache state, from the cache file on disk to the
// collection that clients validate their documents with.
#include <filesystem>
#include <fstream>

#include "cache/CacheFormat.h"
#include "support/collection_fixture.h"
#include "resources/resource.h"

namespace collectiontest {
namespace {

class SchemaCacheStateTest : public CollectionTest {
 protected:
  IXMLDOMSchemaCollectionPtr StoredSchemas() {
    IXMLDOMSchemaCollectionPtr schemas;
    EXPECT_EQ(S_OK, module_.GetSchemas(&schemas));
    return schemas;
  }
};

// A client document validated against the collection as it loads.
struct ClientDocument {
  ClientDocument(IXMLDOMSchemaCollection* schemas, const char* text) {
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                                     reinterpret_cast<void**>(&doc)));
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_TRUE);
    EXPECT_EQ(S_OK, doc->putref_schemas(_variant_t(static_cast<IDispatch*>(schemas))));
    doc->loadXML(_bstr_t(text), &loaded);
  }
  IXMLDOMDocument2Ptr doc;
  VARIANT_BOOL loaded = VARIANT_FALSE;
};

TEST_F(SchemaCacheStateTest, ClientsValidateTheirDocumentsWithTheCollection) {
  WriteCache(CacheWith(Schemas(Entry(kMeterUrn, WriteSchemaFile("Meter.xsd", XsdText(kMeterUrn, "Meter")).c_str()) +
                               Entry(kProbeUrn, WriteSchemaFile("Probe.xsd", XsdText(kProbeUrn, "Probe")).c_str()))));
  ASSERT_EQ(S_OK, module_.InitSchemaCache());
  IXMLDOMSchemaCollectionPtr schemas = StoredSchemas();
  EXPECT_EQ((std::vector<std::string>{kMeterUrn, kProbeUrn}), UrnsOf(schemas));

  ClientDocument good(schemas, "<Meter xmlns=\"x-schema:Meter.xsd\" id=\"m1\"><Reading>1.5</Reading></Meter>");
  EXPECT_EQ(VARIANT_TRUE, good.loaded);
  IXMLDOMParseErrorPtr error;
  EXPECT_EQ(S_OK, good.doc->validate(&error));

  ClientDocument broken(schemas, "<Probe xmlns=\"x-schema:Probe.xsd\">\n<Reading>2</Reading></Probe>");
  EXPECT_EQ(VARIANT_FALSE, broken.loaded);
  ASSERT_EQ(S_OK, broken.doc->get_parseError(&error));
  LONG code = 0;
  LONG line = 0;
  _bstr_t reason;
  error->get_errorCode(&code);
  error->get_line(&line);
  error->get_reason(reason.GetAddress());
  EXPECT_TRUE(FAILED(code));
  EXPECT_EQ(1, line);
  EXPECT_NE(std::string::npos, Narrow(reason).find("'id'")) << Narrow(reason);
}

TEST_F(SchemaCacheStateTest, NothingIsHandedOutUntilAnInitialisationSucceeds) {
  IXMLDOMSchemaCollectionPtr schemas;
  EXPECT_EQ(E_INVALIDARG, module_.GetSchemas(nullptr));
  EXPECT_EQ(E_NOINTERFACE, module_.GetSchemas(&schemas));

  MakeSharedDirectoryUnwritable();
  EXPECT_TRUE(FAILED(module_.InitSchemaCache()));
  EXPECT_EQ(1u, BoxesShown());
  EXPECT_EQ(E_NOINTERFACE, module_.GetSchemas(&schemas));
  EXPECT_EQ("", Narrow(module_.GetFailedFileName()));
  EXPECT_EQ("", Narrow(module_.GetFailedUrn()));
}

// With no cache file the default one is written; its one entry names the
// basic data types schema in the system directory, which registration puts
// there.
TEST_F(SchemaCacheStateTest, AMissingCacheIsWrittenAndItsEntryTakenOnceTheSchemaIsThere) {
  ASSERT_EQ(S_OK, module_.InitSchemaCache());
  EXPECT_TRUE(std::filesystem::exists(Posix(cachetest::kCachePath)));
  EXPECT_TRUE(UrnsOf(StoredSchemas()).empty());

  const std::filesystem::path system = Posix(cachetest::kSystemEntryPath);
  std::filesystem::create_directories(system.parent_path());
  std::ofstream(system, std::ios::binary) << ResourceText(IDR_BASIC_DATATYPES_SCHEMA);
  ASSERT_EQ(S_OK, module_.InitSchemaCache());
  EXPECT_EQ((std::vector<std::string>{BASIC_DATATYPES_URN}), UrnsOf(StoredSchemas()));
  EXPECT_EQ(0u, BoxesShown());
}

// A failed initialisation keeps the collection of the last good one; a
// repaired cache replaces it, and holders of the old one keep theirs.
TEST_F(SchemaCacheStateTest, AFailedInitialisationKeepsTheEarlierCollection) {
  const std::string meter = WriteSchemaFile("Meter.xsd", XsdText(kMeterUrn, "Meter"));
  WriteCache(CacheWith(Schemas(Entry(kMeterUrn, meter.c_str()))));
  ASSERT_EQ(S_OK, module_.InitSchemaCache());
  IXMLDOMSchemaCollectionPtr first = StoredSchemas();

  WriteCache("<QZSchemasRoot xmlns=\"urn:schemas-microsoft-com:xml-data\">");
  EXPECT_EQ(E_FAIL, module_.InitSchemaCache());
  EXPECT_EQ(first, StoredSchemas());

  // Valid against the inline schema, but the registered entry has no file.
  WriteCache(CacheWith(Schemas("<QZSchema xmlns=\"x-schema:Tavel-basic-datatypes.xml\" urn=\"x-schema:X.xsd\"/>")));
  EXPECT_EQ(E_FAIL, module_.InitSchemaCache());
  EXPECT_EQ(first, StoredSchemas());

  WriteCache(CacheWith(Schemas(Entry(kProbeUrn, WriteSchemaFile("Probe.xsd", XsdText(kProbeUrn, "Probe")).c_str()))));
  ASSERT_EQ(S_OK, module_.InitSchemaCache());
  EXPECT_EQ((std::vector<std::string>{kProbeUrn}), UrnsOf(StoredSchemas()));
  EXPECT_EQ((std::vector<std::string>{kMeterUrn}), UrnsOf(first));
}

}  // namespace
}  // namespace collectiontest
