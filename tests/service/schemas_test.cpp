// Schemas: the module's collection while there is one, else the schema
// cache error dialog and the failure; clients validate with what they get.
#include "service_test_support.h"

namespace servicetest {
namespace {

using SchemasTest = ServiceTest;

// A client document validated against the collection as it loads.
VARIANT_BOOL LoadsValid(IXMLDOMSchemaCollection* schemas, const char* text) {
  IXMLDOMDocument2Ptr doc;
  EXPECT_EQ(S_OK, CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                                   reinterpret_cast<void**>(&doc)));
  doc->put_async(VARIANT_FALSE);
  doc->put_validateOnParse(VARIANT_TRUE);
  EXPECT_EQ(S_OK, doc->putref_schemas(_variant_t(static_cast<IDispatch*>(schemas))));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  doc->loadXML(_bstr_t(text), &loaded);
  return loaded;
}

TEST_F(SchemasTest, ClientsValidateTheirDocumentsWithTheCollection) {
  WriteMeterCache();
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service);
  IXMLDOMSchemaCollectionPtr schemas;
  ASSERT_EQ(S_OK, GetSchemas(service, schemas));
  EXPECT_EQ(std::vector<std::string>{kMeterUrn}, UrnsOf(schemas));

  EXPECT_EQ(VARIANT_TRUE, LoadsValid(schemas, "<Meter xmlns=\"x-schema:Meter.xsd\" id=\"m1\"><Reading>1.5</Reading></Meter>"));
  EXPECT_EQ(VARIANT_FALSE, LoadsValid(schemas, "<Meter xmlns=\"x-schema:Meter.xsd\"><Reading>1.5</Reading></Meter>"));
  EXPECT_TRUE(ShownDialogs().empty());
}

TEST_F(SchemasTest, WithoutACacheEveryCallShowsTheDialogWithEmptyFieldsAndFails) {
  MakeSharedDirectoryUnwritable();
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service) << "a failed initialisation does not fail the creation";

  for (int call = 0; call < 2; ++call) {
    IXMLDOMSchemaCollection* untouched = reinterpret_cast<IXMLDOMSchemaCollection*>(1);
    EXPECT_EQ(E_NOINTERFACE, service->get_Schemas(&untouched));
    EXPECT_EQ(reinterpret_cast<IXMLDOMSchemaCollection*>(1), untouched);
  }
  const std::vector<ErrorDialog> shown = ShownDialogs();
  ASSERT_EQ(2u, shown.size());
  for (const ErrorDialog& dialog : shown) {
    EXPECT_EQ("", dialog.fileName);
    EXPECT_EQ("", dialog.urn);
  }
}

// Later creations in this apartment get the object that failed; a new
// object from the library's class factory initialises again, and every
// object then hands out its collection.
TEST_F(SchemasTest, ARepairedCacheAndANewObjectFromTheLibraryServeEveryObject) {
  MakeSharedDirectoryUnwritable();
  IQZXMLSchemaService2Ptr failed = Create();
  ASSERT_NE(nullptr, failed);
  IXMLDOMSchemaCollectionPtr schemas;
  EXPECT_EQ(E_NOINTERFACE, GetSchemas(failed, schemas));

  resolvertest::SetCommonDirectory(nullptr);
  WriteMeterCache();
  EXPECT_EQ(E_NOINTERFACE, GetSchemas(Create(), schemas)) << "served by the registered object: no new initialisation";

  IQZXMLSchemaService2Ptr fresh;
  ASSERT_EQ(S_OK, LibraryClassFactory()->CreateInstance(nullptr, IID_IQZXMLSchemaService2,
                                                        reinterpret_cast<void**>(&fresh)));
  EXPECT_NE(IUnknownPtr(failed), IUnknownPtr(fresh));
  EXPECT_EQ(S_OK, GetSchemas(fresh, schemas));
  EXPECT_EQ(S_OK, GetSchemas(failed, schemas));
  EXPECT_EQ(2u, ShownDialogs().size());
}

// The dialog names the entry the collection refused last, even when the
// collection itself is there.
TEST_F(SchemasTest, ANullPointerShowsTheDialogWithTheRefusedEntryAndIsRefused) {
  const std::string xdr = WriteSchemaFile("Old.xml", collectiontest::kXdrText);
  WriteCache(CacheWith(cachetest::Schemas(cachetest::Entry("x-schema:Old.xml", xdr.c_str()) + MeterEntry())));
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service);
  IXMLDOMSchemaCollectionPtr schemas;
  ASSERT_EQ(S_OK, GetSchemas(service, schemas));
  EXPECT_TRUE(ShownDialogs().empty());

  EXPECT_EQ(E_INVALIDARG, service->get_Schemas(nullptr));
  const std::vector<ErrorDialog> shown = ShownDialogs();
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ(xdr, shown[0].fileName);
  EXPECT_EQ("x-schema:Old.xml", shown[0].urn);
}

// Registration edits the cache file only; the collection changes with a
// later initialisation.
TEST_F(SchemasTest, RegisteringASchemaKeepsTheCollectionBuiltBefore) {
  WriteMeterCache();
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service);
  IXMLDOMSchemaCollectionPtr before;
  ASSERT_EQ(S_OK, GetSchemas(service, before));

  const std::string probe = WriteSchemaFile("Probe.xsd", collectiontest::XsdText(kProbeUrn, "Probe"));
  _bstr_t sentence;
  EXPECT_EQ(S_OK, service->RegisterSchema(_bstr_t(probe.c_str()), sentence.GetAddress()));
  EXPECT_NE(std::string::npos, ReadCache().find(kProbeUrn)) << Narrow(sentence);

  IXMLDOMSchemaCollectionPtr after;
  ASSERT_EQ(S_OK, GetSchemas(service, after));
  EXPECT_EQ(before, after);
  EXPECT_EQ(std::vector<std::string>{kMeterUrn}, UrnsOf(after));
}

TEST_F(SchemasTest, HowTheDialogIsClosedDoesNotChangeTheResult) {
  MakeSharedDirectoryUnwritable();
  IQZXMLSchemaService2Ptr service = Create();
  ASSERT_NE(nullptr, service);
  host_.QueueDialogAnswer({qzwin::DialogAnswer::Button, IDOK});
  host_.QueueDialogAnswer({qzwin::DialogAnswer::Escape, 0});
  host_.QueueDialogAnswer({qzwin::DialogAnswer::Close, 0});
  IXMLDOMSchemaCollectionPtr schemas;
  for (int way = 0; way < 3; ++way) EXPECT_EQ(E_NOINTERFACE, GetSchemas(service, schemas));
  EXPECT_EQ(3u, ShownDialogs().size());
}

}  // namespace
}  // namespace servicetest
