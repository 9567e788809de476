// A client that knows only what the library publishes: its exports, the
// registry, the class and its interfaces.
#include <comdef.h>
#include <msxml6.h>
#include <qzschemas.h>

#include "library_test_support.h"

namespace moduletest {
namespace {

using PublishedClientTest = LibraryTest;

constexpr LCID kEnglishUs = 0x0409;

TEST_F(PublishedClientTest, RegistersCreatesThroughTheRegistryCallsEveryMethodAndUnregisters) {
  ASSERT_EQ(S_OK, library_.Register());

  IQZXMLSchemaService2* service = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER, IID_IQZXMLSchemaService2,
                                   reinterpret_cast<void**>(&service)));

  // The registration made the cache; the collection holds its one schema.
  IXMLDOMSchemaCollection* schemas = nullptr;
  ASSERT_EQ(S_OK, service->get_Schemas(&schemas));
  LONG length = 0;
  EXPECT_EQ(S_OK, schemas->get_length(&length));
  EXPECT_EQ(1, length);
  BSTR urn = nullptr;
  EXPECT_EQ(S_OK, schemas->get_namespaceURI(0, &urn));
  EXPECT_STREQ("x-schema:Tavel-basic-datatypes.xml", static_cast<const char*>(_bstr_t(urn, false)));
  schemas->Release();

  IXMLDOMDocument2* document = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                                   reinterpret_cast<void**>(&document)));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  EXPECT_EQ(S_OK, document->loadXML(_bstr_t(OLESTR("<?xml version=\"1.0\"?><report/>")), &loaded));
  service->UseSelectedEncoding(document);
  document->Release();

  // An [out] text is handed out exactly when the call succeeds.
  BSTR text = nullptr;
  const HRESULT hrEncoding = service->GetSelectedEncodingName(&text);
  EXPECT_EQ(SUCCEEDED(hrEncoding), text != nullptr) << std::hex << hrEncoding;
  SysFreeString(text);

  // Registering a schema always answers with a sentence; unregistering never does.
  const _bstr_t schemaFile(OLESTR("C:\\WINDOWS\\system32\\Standard-report.xml"));
  text = nullptr;
  EXPECT_EQ(S_OK, service->RegisterSchema(schemaFile, &text));
  EXPECT_STREQ("Schema cache succesfully updated with [C:\\WINDOWS\\system32\\Standard-report.xml]",
               static_cast<const char*>(_bstr_t(text, false)));
  text = nullptr;
  EXPECT_EQ(S_OK, service->UnRegisterSchema(schemaFile, &text));
  EXPECT_EQ(nullptr, text);

  // Late-bound clients find every member by its name, through the type library.
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(S_OK, service->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
  const struct {
    const OLECHAR* name;
    DISPID id;
  } members[] = {{OLESTR("Schemas"), 1}, {OLESTR("UseSelectedEncoding"), 2}, {OLESTR("GetSelectedEncodingName"), 3},
                 {OLESTR("RegisterSchema"), 4}, {OLESTR("UnRegisterSchema"), 5}};
  for (const auto& member : members) {
    LPOLESTR name = const_cast<LPOLESTR>(member.name);
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, kEnglishUs, &id));
    EXPECT_EQ(member.id, id);
  }
  dispatch->Release();
  service->Release();

  ASSERT_EQ(S_OK, library_.Unregister());
  // A new apartment no longer sees the released object's own registration.
  CoUninitialize();
  ASSERT_GE(CoInitialize(nullptr), 0);
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IQZXMLSchemaService, reinterpret_cast<void**>(&service)));
}

}  // namespace
}  // namespace moduletest
