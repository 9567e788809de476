// The collection built from a loaded cache document: which entries it
// selects, which it takes, which it passes over, and which it records as
// refused. Also the loading routine that reads both the cache and the
// schemas.
#include "support/collection_fixture.h"
#include "schemas/CreateDocument.h"
#include "schemas/LoadDocument.h"

namespace collectiontest {
namespace {

// An entry as registration writes it: in the basic data types namespace.
std::string RegisteredEntry(const char* urn, const std::string& filename) {
  return std::string("\t\t<QZSchema xmlns=\"x-schema:Tavel-basic-datatypes.xml\" urn=\"") + urn +
         "\" Filename=\"" + filename + "\"/>\r\n";
}

class BuildSchemaCollectionTest : public CollectionTest {
 protected:
  void SetUp() override {
    CollectionTest::SetUp();
    meter_ = WriteSchemaFile("Meter.xsd", XsdText(kMeterUrn, "Meter"));
    probe_ = WriteSchemaFile("Probe.xsd", XsdText(kProbeUrn, "Probe"));
  }

  HRESULT Build(IXMLDOMDocument2* cacheDoc) {
    collection_ = nullptr;
    return module_.BuildSchemaCollection(cacheDoc, &collection_);
  }

  // The cache file written with the default cache's inline schema around
  // lists, and loaded as initialisation loads it.
  IXMLDOMDocument2Ptr LoadedCache(const std::string& lists) {
    WriteCache(CacheWith(lists));
    IXMLDOMDocument2Ptr doc;
    EXPECT_EQ(S_OK, CreateDocument(&doc));
    EXPECT_EQ(S_OK, LoadDocument(cachetest::kCachePath, doc));
    return doc;
  }

  std::string meter_;
  std::string probe_;
  IXMLDOMSchemaCollectionPtr collection_;
};

TEST_F(BuildSchemaCollectionTest, TakesTheEntriesOfBothNamespacesInFileOrder) {
  IXMLDOMDocument2Ptr cache = LoadedCache(Schemas(RegisteredEntry(kProbeUrn, probe_) + Entry(kMeterUrn, meter_.c_str())));
  ASSERT_EQ(S_OK, Build(cache));
  EXPECT_EQ((std::vector<std::string>{kProbeUrn, kMeterUrn}), UrnsOf(collection_));
  EXPECT_EQ("", Narrow(module_.GetFailedUrn()));

  // The selection namespaces stay on the caller's document.
  _variant_t namespaces;
  ASSERT_EQ(S_OK, cache->getProperty(_bstr_t(OLESTR("SelectionNamespaces")), &namespaces));
  EXPECT_EQ("xmlns:qz1='urn:schemas-microsoft-com:xml-data' xmlns:qz='x-schema:#QZSchemas'",
            Narrow(_bstr_t(namespaces)));
}

// The cache file is ISO-8859-1; the file system names files in the system
// code page (UTF-8 here), and the entry's path reaches it through both.
TEST_F(BuildSchemaCollectionTest, FileNamesOutsideAsciiReachTheFileSystem) {
  const std::string utf8 = WriteSchemaFile("Me\xC3\x9Fger\xC3\xA4t.xsd", XsdText("x-schema:Me\xC3\x9Fger\xC3\xA4t.xsd", "M"));
  const std::string latin1 = utf8.substr(0, utf8.rfind('\\') + 1) + "Me\xDFger\xE4t.xsd";
  IXMLDOMDocument2Ptr cache = LoadedCache(Schemas(Entry("x-schema:Me\xDFger\xE4t.xsd", latin1.c_str())));
  ASSERT_EQ(S_OK, Build(cache));
  EXPECT_EQ((std::vector<std::string>{"x-schema:Me\xC3\x9Fger\xC3\xA4t.xsd"}), UrnsOf(collection_));
}

TEST_F(BuildSchemaCollectionTest, SelectsOnlyEntriesOfTheRootsFirstLevelLists) {
  const std::string meter = meter_;
  // A root outside the XDR namespace has no entries at all.
  ASSERT_EQ(S_OK, Build(UncheckedCacheDocument("<QZSchemasRoot><QZSchemas xmlns=\"x-schema:#QZSchemas\">" +
                                               Entry(kMeterUrn, meter.c_str()) + "</QZSchemas></QZSchemasRoot>")));
  EXPECT_TRUE(UrnsOf(collection_).empty());

  // Entries of a foreign namespace, and lists below the first level.
  ASSERT_EQ(S_OK, Build(UncheckedCacheDocument(
                      "<QZSchemasRoot xmlns=\"urn:schemas-microsoft-com:xml-data\">"
                      "<QZSchemas xmlns=\"x-schema:#QZSchemas\">"
                      "<QZSchema xmlns=\"x-schema:Other.xml\" urn=\"x-schema:Meter.xsd\" Filename=\"" +
                      meter + "\"/></QZSchemas><Group><QZSchemas xmlns=\"x-schema:#QZSchemas\">" +
                      Entry(kMeterUrn, meter.c_str()) + "</QZSchemas></Group></QZSchemasRoot>")));
  EXPECT_TRUE(UrnsOf(collection_).empty());
}

TEST_F(BuildSchemaCollectionTest, PassesOverSchemaFilesThatDoNotLoadWithoutRecordingThem) {
  const std::string broken = WriteSchemaFile("Broken.xsd", "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">");
  IXMLDOMDocument2Ptr cache =
      LoadedCache(Schemas(Entry("x-schema:Missing.xsd", "C:\\nowhere\\Missing.xsd") +
                          Entry("x-schema:Broken.xsd", broken.c_str()) + Entry("x-schema:Empty.xsd", "") +
                          Entry(kMeterUrn, meter_.c_str())));
  ASSERT_EQ(S_OK, Build(cache));
  EXPECT_EQ((std::vector<std::string>{kMeterUrn}), UrnsOf(collection_));
  EXPECT_EQ("", Narrow(module_.GetFailedUrn()));
  EXPECT_EQ("", Narrow(module_.GetFailedFileName()));
}

TEST_F(BuildSchemaCollectionTest, AnEntryWithoutUrnOrFilenameFailsTheWholeBuild) {
  const std::string good = Entry(kMeterUrn, meter_.c_str());
  for (const std::string& bad : {std::string("<QZSchema urn=\"x-schema:Probe.xsd\"/>"),
                                 "<QZSchema Filename=\"" + probe_ + "\"/>"}) {
    IXMLDOMDocument2Ptr cache =
        UncheckedCacheDocument("<QZSchemasRoot xmlns=\"urn:schemas-microsoft-com:xml-data\">" + Schemas(good + bad) +
                               "</QZSchemasRoot>");
    EXPECT_EQ(E_FAIL, Build(cache)) << bad;
    EXPECT_EQ(nullptr, collection_);
  }
}

// Refusals are recorded one over the other; the record outlives builds
// that refuse nothing.
TEST_F(BuildSchemaCollectionTest, RecordsTheLastRefusedEntryAndTakesTheRest) {
  const std::string xdr = WriteSchemaFile("Old.xml", kXdrText);
  const std::string plain = WriteSchemaFile("Plain.xml", "<Meter id=\"m1\"/>");
  const std::string wrong = WriteSchemaFile("Wrong.xsd", XsdText("x-schema:Other.xsd", "Wrong"));
  IXMLDOMDocument2Ptr cache = LoadedCache(Schemas(Entry("x-schema:Old.xml", xdr.c_str()) +
                                                  Entry(kMeterUrn, meter_.c_str()) +
                                                  Entry("x-schema:Plain.xml", plain.c_str())));
  ASSERT_EQ(S_OK, Build(cache));
  EXPECT_EQ((std::vector<std::string>{kMeterUrn}), UrnsOf(collection_));
  EXPECT_EQ("x-schema:Plain.xml", Narrow(module_.GetFailedUrn()));
  EXPECT_EQ(plain, Narrow(module_.GetFailedFileName()));

  cache = LoadedCache(Schemas(Entry("x-schema:Wrong.xsd", wrong.c_str()) + Entry(kProbeUrn, probe_.c_str())));
  ASSERT_EQ(S_OK, Build(cache));
  EXPECT_EQ((std::vector<std::string>{kProbeUrn}), UrnsOf(collection_));
  EXPECT_EQ("x-schema:Wrong.xsd", Narrow(module_.GetFailedUrn()));

  ASSERT_EQ(S_OK, Build(LoadedCache(Schemas(Entry(kMeterUrn, meter_.c_str())))));
  EXPECT_EQ("x-schema:Wrong.xsd", Narrow(module_.GetFailedUrn()));
  EXPECT_EQ(wrong, Narrow(module_.GetFailedFileName()));
}

TEST_F(BuildSchemaCollectionTest, NullArgumentsAreRefused) {
  IXMLDOMDocument2Ptr cache = LoadedCache(Schemas(Entry(kMeterUrn, meter_.c_str())));
  EXPECT_EQ(E_INVALIDARG, module_.BuildSchemaCollection(nullptr, &collection_));
  EXPECT_EQ(E_INVALIDARG, module_.BuildSchemaCollection(cache, nullptr));
  EXPECT_EQ(E_INVALIDARG, CreateSchemaDocument(nullptr));
}

using LoadDocumentTest = CollectionTest;

CLSID ClassOf(IXMLDOMDocument2* doc) {
  CLSID clsid = CLSID_NULL;
  IPersistStreamPtr persist;
  if (SUCCEEDED(doc->QueryInterface(__uuidof(IPersistStream), reinterpret_cast<void**>(&persist)))) {
    persist->GetClassID(&clsid);
  }
  return clsid;
}

// Loads return when the document is whole, validate, and fetch the schemas
// it names; the schema documents go into a collection that any thread reads.
TEST_F(LoadDocumentTest, DocumentsLoadSynchronouslyValidateAndResolveExternals) {
  IXMLDOMDocument2Ptr plain, schema;
  ASSERT_EQ(S_OK, CreateDocument(&plain));
  ASSERT_EQ(S_OK, CreateSchemaDocument(&schema));
  for (IXMLDOMDocument2* doc : {plain.GetInterfacePtr(), schema.GetInterfacePtr()}) {
    VARIANT_BOOL async = VARIANT_TRUE, resolve = VARIANT_FALSE, validate = VARIANT_FALSE;
    ASSERT_EQ(S_OK, doc->get_async(&async));
    ASSERT_EQ(S_OK, doc->get_resolveExternals(&resolve));
    ASSERT_EQ(S_OK, doc->get_validateOnParse(&validate));
    EXPECT_EQ(VARIANT_FALSE, async);
    EXPECT_EQ(VARIANT_TRUE, resolve);
    EXPECT_EQ(VARIANT_TRUE, validate);
  }
  EXPECT_TRUE(IsEqualCLSID(CLSID_DOMDocument60, ClassOf(plain)));
  EXPECT_TRUE(IsEqualCLSID(CLSID_FreeThreadedDOMDocument60, ClassOf(schema)));
}

TEST_F(LoadDocumentTest, OnlyADocumentThatLoadedCounts) {
  IXMLDOMDocument2Ptr doc;
  ASSERT_EQ(S_OK, CreateSchemaDocument(&doc));
  EXPECT_EQ(E_INVALIDARG, LoadDocument("C:\\any.xsd", nullptr));
  EXPECT_EQ(E_FAIL, LoadDocument("C:\\nowhere\\Missing.xsd", doc));
  EXPECT_EQ(E_FAIL, LoadDocument(WriteSchemaFile("Cut.xsd", "<xs:schema").c_str(), doc));
  EXPECT_EQ(E_FAIL, LoadDocument(nullptr, doc));
  EXPECT_EQ(S_OK, LoadDocument(WriteSchemaFile("Good.xsd", XsdText(kMeterUrn, "Meter")).c_str(), doc));
}

}  // namespace
}  // namespace collectiontest
