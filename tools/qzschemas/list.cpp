// qzschemas list: the schema cache's entries, whether each file exists, and
// whether the service's current schema collection holds its schema.
#include <cstdio>
#include <set>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "schema_cache_report.h"
#include "schema_service.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas list\n"
    "Prints each entry of the platform's schema cache: its URN, whether its file exists, whether\n"
    "the service's schema collection holds it, and the file. Exits 1 when the cache cannot be\n"
    "read, 3 when the platform is not set up or the schema collection cannot be had.\n";

// Prints the entries of the cache file; false when it cannot be read.
bool PrintEntries(const std::set<std::string>& collected) {
  const SchemaCacheFile cache = ReadSchemaCacheFile();
  if (FAILED(cache.hr)) {
    std::fprintf(stderr, "qzschemas: the schema cache %s cannot be read: %s\n", cache.path.c_str(),
                 cache.problem.c_str());
    return false;
  }
  std::printf("schema cache: %s\n\n%-40s %-6s %-10s %s\n", cache.path.c_str(), "URN", "EXISTS", "COLLECTION", "FILE");
  for (const CacheEntry& entry : cache.entries) {
    std::printf("%-40s %-6s %-10s %s\n", entry.urn.c_str(), entry.fileExists ? "yes" : "no",
                collected.count(entry.urn) != 0 ? "yes" : "no", entry.file.c_str());
  }
  return true;
}

}  // namespace

int List(int argc, char** argv) {
  if (argc > 0) return PrintUsage(kUsage, IsHelp(argv[0]));
  return WithSchemaService([](IQZXMLSchemaService2* service) {
    const CollectionRequest request = RequestCollection(service);
    if (request.collection == nullptr) {
      ExplainMissingCollection(request);
      return kNoService;
    }
    return PrintEntries(UrnsOf(request.collection)) ? kCommandOk : kCommandFailed;
  });
}

}  // namespace qzcli
