// What the commands report about the platform's schema cache and the schema
// collection that the service builds from it: the entries of the cache file,
// the collection as the service hands it out, the entry a collection
// refuses, and, when there is no collection, why and how to fix it.
#pragma once

#include <set>
#include <string>
#include <vector>

#include <comdef.h>
#include <msxml6.h>

#include "errors/XMLDOMPtr.h"
#include "schema_service.h"

namespace qzcli {

struct CacheEntry {
  std::string urn;   // "(none)" when the entry has no urn attribute
  std::string file;  // "(none)" when it has no Filename attribute
  bool fileExists = false;
};

// The schema cache file, loaded and validated as the service loads it.
struct SchemaCacheFile {
  HRESULT hr = S_OK;     // a failure when the path is not resolved or the file does not load
  std::string path;      // the Windows path; "" when it is not resolved
  std::string problem;   // why it does not load: the parser's reason, place and source line
  std::vector<CacheEntry> entries;
};

SchemaCacheFile ReadSchemaCacheFile();

// The schema collection asked of the service through Schemas. The service
// shows its "Error in schema cache" dialog when it has none; the dialog is
// kept here instead of shown, with the failed entry that it names.
struct CollectionRequest {
  HRESULT hr = E_FAIL;
  IXMLDOMSchemaCollectionPtr collection;
  bool dialogShown = false;
  std::string failedFile;  // the dialog's "File Name:"
  std::string failedUrn;   // the dialog's "x-schema:"
};

CollectionRequest RequestCollection(IQZXMLSchemaService2* service);

// The URNs under which collection holds schemas; empty for null.
std::set<std::string> UrnsOf(IXMLDOMSchemaCollection* collection);

// The entry that a collection built from the cache file refuses, as the
// service records it (the last one refused); both empty when none is.
struct RefusedEntry {
  std::string urn;
  std::string file;
};

RefusedEntry FindRefusedEntry();

// Tells on stderr why the request got no collection and how to fix it,
// naming the failed cache entry.
void ExplainMissingCollection(const CollectionRequest& request);

}  // namespace qzcli
