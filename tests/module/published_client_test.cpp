// A client that knows only what the library publishes: its exports, the
// registry, the class and its interfaces.
#include <comdef.h>
#include <msxml6.h>
#include <qzschemas.h>

#include "library_test_support.h"

namespace moduletest {
namespace {

using PublishedClientTest = LibraryTest;

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

  // Late-bound clients, as scripts are, find every member by its name in
  // the user's default locale and call it through Invoke.
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(S_OK, service->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
  const struct {
    const OLECHAR* name;
    DISPID id;
  } members[] = {{OLESTR("Schemas"), 1}, {OLESTR("UseSelectedEncoding"), 2}, {OLESTR("GetSelectedEncodingName"), 3},
                 {OLESTR("RegisterSchema"), 4}, {OLESTR("unregisterschema"), 5}};
  for (const auto& member : members) {
    LPOLESTR name = const_cast<LPOLESTR>(member.name);
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(member.id, id);
  }

  DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
  _variant_t collection;
  ASSERT_EQ(S_OK, dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                                   &collection, nullptr, nullptr));
  ASSERT_TRUE(V_VT(&collection) == VT_DISPATCH || V_VT(&collection) == VT_UNKNOWN);
  IXMLDOMSchemaCollection* fromInvoke = nullptr;
  ASSERT_EQ(S_OK, V_UNKNOWN(&collection)->QueryInterface(IID_IXMLDOMSchemaCollection,
                                                          reinterpret_cast<void**>(&fromInvoke)));
  fromInvoke->Release();

  VARIANT fileArgument;
  V_VT(&fileArgument) = VT_BSTR;
  V_BSTR(&fileArgument) = schemaFile;
  DISPPARAMS oneFile = {&fileArgument, nullptr, 1, 0};
  _variant_t sentence;
  EXPECT_EQ(S_OK, dispatch->Invoke(4, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &oneFile, &sentence, nullptr,
                                   nullptr));
  ASSERT_EQ(VT_BSTR, V_VT(&sentence));
  EXPECT_STREQ("Schema cache succesfully updated with [C:\\WINDOWS\\system32\\Standard-report.xml]",
               static_cast<const char*>(_bstr_t(V_BSTR(&sentence))));
  EXPECT_EQ(S_OK, dispatch->Invoke(5, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &oneFile, nullptr, nullptr,
                                   nullptr));
  // A failing method reaches the script as an exception carrying its HRESULT.
  EXCEPINFO failure = {};
  EXPECT_EQ(DISP_E_EXCEPTION, dispatch->Invoke(5, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &oneFile,
                                               nullptr, &failure, nullptr));
  EXPECT_EQ(E_FAIL, failure.scode);
  SysFreeString(failure.bstrSource);
  SysFreeString(failure.bstrDescription);
  SysFreeString(failure.bstrHelpFile);
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
