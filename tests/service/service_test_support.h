// Service objects as a client makes them, from the library registered as
// the class's in-process server, on a platform prepared as for the schema
// collection tests: the path resolver installed, a shared directory, and a
// scripted UI host that records what the service shows.
#pragma once

#include <comdef.h>
#include <msxml6.h>

#include "support/collection_fixture.h"
#include "support/resolver_installer.h"
#include "qzschemas.h"

_COM_SMARTPTR_TYPEDEF(IQZXMLSchemaService, __uuidof(IQZXMLSchemaService));
_COM_SMARTPTR_TYPEDEF(IQZXMLSchemaService2, __uuidof(IQZXMLSchemaService2));

namespace servicetest {

using collectiontest::kMeterUrn;
using collectiontest::kProbeUrn;
using collectiontest::Narrow;

class ServiceTest : public collectiontest::CollectionTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A service object through CoCreateInstance, as any client makes one.
  static IQZXMLSchemaService2Ptr Create();

  // The class factory of the library itself (DllGetClassObject), which
  // makes a new object each time; the objects' own registrations never
  // answer this.
  static IClassFactoryPtr LibraryClassFactory();

  // The library's DllCanUnloadNow: S_FALSE while an object or a lock holds
  // it.
  static HRESULT CanUnloadNow();

  // Schemas into a new reference.
  static HRESULT GetSchemas(IQZXMLSchemaService* service, IXMLDOMSchemaCollectionPtr& out);

  // The cache entry of the Meter schema, which the collection takes, and a
  // cache that lists only it.
  std::string MeterEntry();
  void WriteMeterCache();

  // The schema cache error dialogs shown so far, with what their two fields
  // showed.
  struct ErrorDialog {
    std::string fileName;
    std::string urn;
  };
  std::vector<ErrorDialog> ShownDialogs() const;

 private:
  template <class Export>
  static Export LibraryExport(const char* name);

  static HMODULE library_;
};

}  // namespace servicetest
