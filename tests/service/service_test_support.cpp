#include "service_test_support.h"

#include <cstring>
#include <string>

#include <winreg.h>

namespace servicetest {
namespace {

void SetClassesRootString(const std::string& keyPath, const char* valueName, const char* value) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                          static_cast<DWORD>(std::strlen(value) + 1)));
  RegCloseKey(key);
}

// The library's class as registration leaves it in the registry, with the
// library as its in-process server.
void RegisterServiceClass() {
  OLECHAR clsid[CHARS_IN_GUID];
  StringFromGUID2(CLSID_QZXMLSchemaService, clsid, CHARS_IN_GUID);
  const std::string key = "CLSID\\" + std::string(clsid, clsid + CHARS_IN_GUID - 1) + "\\InprocServer32";
  SetClassesRootString(key, nullptr, QZ_SCHEMAS_MODULE);
  SetClassesRootString(key, "ThreadingModel", "Apartment");
}

}  // namespace

HMODULE ServiceTest::library_ = nullptr;

void ServiceTest::SetUp() {
  CollectionTest::SetUp();
  RegisterServiceClass();
  // Held for the test, so that the library's exports stay reachable after
  // COM lets go of it; released afterwards, so that each test starts on a
  // freshly loaded library.
  library_ = LoadLibraryA(QZ_SCHEMAS_MODULE);
  ASSERT_NE(nullptr, library_);
}

void ServiceTest::TearDown() {
  CollectionTest::TearDown();
  if (library_ == nullptr) return;
  EXPECT_EQ(S_OK, CanUnloadNow()) << "an object or a lock outlived the apartment";
  FreeLibrary(library_);
  library_ = nullptr;
}

template <class Export>
Export ServiceTest::LibraryExport(const char* name) {
  return reinterpret_cast<Export>(GetProcAddress(library_, name));
}

IQZXMLSchemaService2Ptr ServiceTest::Create() {
  IQZXMLSchemaService2Ptr service;
  EXPECT_EQ(S_OK, CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER, IID_IQZXMLSchemaService2,
                                   reinterpret_cast<void**>(&service)));
  return service;
}

IClassFactoryPtr ServiceTest::LibraryClassFactory() {
  auto getClassObject = LibraryExport<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
  IClassFactoryPtr factory;
  EXPECT_EQ(S_OK, getClassObject(CLSID_QZXMLSchemaService, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  return factory;
}

HRESULT ServiceTest::CanUnloadNow() { return LibraryExport<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow")(); }

HRESULT ServiceTest::GetSchemas(IQZXMLSchemaService* service, IXMLDOMSchemaCollectionPtr& out) {
  return service->get_Schemas(&out);
}

std::string ServiceTest::MeterEntry() {
  return cachetest::Entry(kMeterUrn, WriteSchemaFile("Meter.xsd", collectiontest::XsdText(kMeterUrn, "Meter")).c_str());
}

void ServiceTest::WriteMeterCache() { WriteCache(CacheWith(cachetest::Schemas(MeterEntry()))); }

std::vector<ServiceTest::ErrorDialog> ServiceTest::ShownDialogs() const {
  std::vector<ErrorDialog> shown;
  for (const qzwin::DialogView& view : host_.ShownDialogs()) {
    EXPECT_EQ("Error in schema cache", view.title);
    ErrorDialog dialog;
    for (const qzwin::DialogControlView& control : view.controls) {
      if (control.id == 204) dialog.fileName = control.text;
      if (control.id == 203) dialog.urn = control.text;
    }
    shown.push_back(dialog);
  }
  return shown;
}

}  // namespace servicetest
