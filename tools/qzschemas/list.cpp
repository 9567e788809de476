// qzschemas list: the schema cache's entries, whether each file exists, and
// whether the service's current schema collection holds its schema.
#include <cstdio>
#include <set>
#include <string>

#include <windows.h>

#include "cache/CacheFormat.h"
#include "cache/SharedFiles.h"
#include "commands.h"
#include "dom/XMLDOMAdapterList.h"
#include "errors/XMLDOMPtr.h"
#include "schema_service.h"
#include "schemas/CreateDocument.h"
#include "schemas/XMLDocument.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas list\n"
    "Prints each entry of the platform's schema cache: its URN, whether its file exists, whether\n"
    "the service's schema collection holds it, and the file. Exits 1 when the cache cannot be\n"
    "read, 3 without the service.\n";

// The URNs under which the service's collection holds schemas; empty when it
// has none (the service has then told why).
std::set<std::string> CollectionUrns(IQZXMLSchemaService2* service) {
  std::set<std::string> urns;
  IXMLDOMSchemaCollectionPtr collection;
  LONG length = 0;
  if (FAILED(service->get_Schemas(&collection)) || FAILED(collection->get_length(&length))) return urns;
  for (LONG i = 0; i < length; ++i) {
    BSTR urn = nullptr;
    if (SUCCEEDED(collection->get_namespaceURI(i, &urn))) urns.insert(static_cast<const char*>(_bstr_t(urn, false)));
  }
  return urns;
}

std::string AttributeOf(CXMLDOMAdapter& entry, const char* name) {
  try {
    _bstr_t value;
    entry.GetAttribute(name, value);
    const char* text = value;
    return text != nullptr ? text : "";
  } catch (const _com_error&) {
    return "(none)";
  }
}

// Prints the entries of the cache file; false when it cannot be read.
bool PrintEntries(const std::set<std::string>& collected) {
  _bstr_t cachePath;
  HRESULT hr = ResolveSharedFile(SCHEMA_CACHE_RELATIVE_PATH, cachePath);
  IXMLDOMDocument2Ptr document;
  CXMLDocument holder;
  if (SUCCEEDED(hr)) hr = CreateDocument(&document);
  if (SUCCEEDED(hr)) hr = holder.SetDocument(document);
  if (SUCCEEDED(hr)) hr = holder.LoadFile(cachePath);
  if (FAILED(hr)) {
    const char* path = cachePath;
    std::fprintf(stderr, "qzschemas: the schema cache %s cannot be read: %s\n", path != nullptr ? path : "",
                 Describe(hr).c_str());
    return false;
  }
  std::printf("schema cache: %s\n\n%-40s %-6s %-10s %s\n", static_cast<const char*>(cachePath), "URN", "EXISTS",
              "COLLECTION", "FILE");
  CXMLDOMAdapterList entries;
  holder.SelectNodes(SCHEMA_ENTRIES_XPATH, entries);
  while (CXMLDOMAdapter* entry = entries.Next()) {
    const std::string urn = AttributeOf(*entry, "urn");
    const std::string file = AttributeOf(*entry, "Filename");
    std::printf("%-40s %-6s %-10s %s\n", urn.c_str(), FileExists(file.c_str()) ? "yes" : "no",
                collected.count(urn) != 0 ? "yes" : "no", file.c_str());
  }
  return true;
}

}  // namespace

int List(int argc, char** argv) {
  if (argc > 0) return PrintUsage(kUsage, IsHelp(argv[0]));
  return WithSchemaService([](IQZXMLSchemaService2* service) {
    return PrintEntries(CollectionUrns(service)) ? 0 : kCommandFailed;
  });
}

}  // namespace qzcli
