// A client of the platform's schema service: creates the service, asks for
// the schema collection and prints the URNs it holds.
#include <cstdio>

#include <comdef.h>
#include <msxml6.h>
#include <objbase.h>

#include "qzschemas.h"

int main() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  int status = 0;
  IQZXMLSchemaService2* service = nullptr;
  IXMLDOMSchemaCollection* schemas = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER, IID_IQZXMLSchemaService2,
                                reinterpret_cast<void**>(&service));
  if (SUCCEEDED(hr)) hr = service->get_Schemas(&schemas);
  LONG length = 0;
  if (SUCCEEDED(hr)) hr = schemas->get_length(&length);
  if (FAILED(hr)) {
    std::fprintf(stderr, "schema_client: 0x%08X\n", static_cast<unsigned>(hr));
    status = 1;
  } else {
    std::printf("schemas in the collection: %ld\n", static_cast<long>(length));
    for (LONG i = 0; i < length; ++i) {
      BSTR urn = nullptr;
      if (SUCCEEDED(schemas->get_namespaceURI(i, &urn))) std::printf("%s\n", static_cast<const char*>(_bstr_t(urn, false)));
    }
  }
  if (schemas != nullptr) schemas->Release();
  if (service != nullptr) service->Release();
  CoUninitialize();
  return status;
}
