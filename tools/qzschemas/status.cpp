// qzschemas status: whether the platform is set up, and what the schema
// service makes of its schema cache: the entries, the collection, the entry
// that the collection refuses, and the active encoding.
#include <cstdio>
#include <set>
#include <string>

#include <windows.h>
#include <comdef.h>
#include <objbase.h>

#include <qzwin/platform.h>

#include "command_line.h"
#include "commands.h"
#include "platform_state.h"
#include "schema_cache_report.h"
#include "schema_service.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas status\n"
    "Shows whether the path resolver and the schema service are registered (and from which file),\n"
    "the schema cache with its entries (URN, whether the file exists, whether the service's schema\n"
    "collection holds it, the file), the entry that the collection refuses, and the active encoding.\n"
    "Exits 0 when all is well, 1 when an entry is not in the collection, 3 when the platform is not\n"
    "set up or the schema collection cannot be had.\n";

void Row(const char* label, const std::string& value) { std::printf("%-18s %s\n", label, value.c_str()); }

std::string Registration(const std::string& file, const char* yes, const char* no) {
  return file.empty() ? no : std::string(yes) + " (" + file + ")";
}

std::string ActiveEncoding(IQZXMLSchemaService2* service) {
  BSTR declaration = nullptr;
  const HRESULT hr = service->GetSelectedEncodingName(&declaration);
  const _bstr_t text(declaration, false);
  if (FAILED(hr)) return "none (the encodings file is missing or not valid: " + Describe(hr) + ")";
  const char* narrow = text;
  return narrow != nullptr ? narrow : "";
}

// Prints the cache and its entries; returns how many of them the collection
// lacks.
int PrintCache(const SchemaCacheFile& cache, const std::set<std::string>& collected) {
  if (cache.path.empty()) {
    Row("schema cache", "(not resolved) " + cache.problem);
    return 0;
  }
  Row("schema cache", cache.path);
  Row("", PosixPathOf(cache.path.c_str()));
  if (FAILED(cache.hr)) {
    Row("", "does not load: " + cache.problem);
    return 0;
  }
  int missing = 0;
  std::printf("\n%-40s %-6s %-10s %s\n", "URN", "EXISTS", "COLLECTION", "FILE");
  for (const CacheEntry& entry : cache.entries) {
    const bool held = collected.count(entry.urn) != 0;
    if (!held) ++missing;
    std::printf("%-40s %-6s %-10s %s\n", entry.urn.c_str(), entry.fileExists ? "yes" : "no", held ? "yes" : "no",
                entry.file.c_str());
  }
  return missing;
}

int Report(IQZXMLSchemaService2* service) {
  CollectionRequest request;
  if (service != nullptr) request = RequestCollection(service);
  const std::set<std::string> collected = UrnsOf(request.collection);

  if (service == nullptr) {
    Row("schema collection", "none: the service is not available");
  } else if (request.collection == nullptr) {
    Row("schema collection", "cannot be had: " + Describe(request.hr));
  } else {
    Row("schema collection", std::to_string(collected.size()) + (collected.size() == 1 ? " schema" : " schemas"));
  }
  RefusedEntry refused{request.failedUrn, request.failedFile};
  if (request.collection != nullptr) refused = FindRefusedEntry();
  Row("failed entry", refused.urn.empty() && refused.file.empty() ? "none" : refused.urn + " (file " + refused.file + ")");
  Row("active encoding", service != nullptr ? ActiveEncoding(service) : "(the service is not available)");

  const int missing = PrintCache(ReadSchemaCacheFile(), collected);
  if (service == nullptr) return kNoService;
  if (request.collection == nullptr) {
    std::fflush(stdout);
    ExplainMissingCollection(request);
    return kNoService;
  }
  return missing != 0 || !refused.urn.empty() ? kCommandFailed : kCommandOk;
}

}  // namespace

int Status(int argc, char** argv) {
  if (argc > 0) return PrintUsage(kUsage, IsHelp(argv[0]));
  if (FAILED(CoInitialize(nullptr))) return kCommandFailed;
  Row("platform root", qzwin::PlatformRoot());
  Row("path resolver", Registration(RegisteredResolver(), "installed", "not installed"));
  const std::string server = RegisteredSchemaService();
  Row("schema service", Registration(server, "registered", "not registered"));

  IQZXMLSchemaService2Ptr service;
  if (!server.empty()) {
    CoCreateInstance(__uuidof(QZXMLSchemaService), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IQZXMLSchemaService2),
                     reinterpret_cast<void**>(&service));
  }
  int status = Report(service);
  if (server.empty() || RegisteredResolver().empty()) {
    std::fflush(stdout);
    std::fprintf(stderr, "qzschemas: the platform is not set up: run 'qzschemas setup'.\n");
    status = kNoService;
  }
  service = nullptr;
  CoUninitialize();
  return status;
}

}  // namespace qzcli
