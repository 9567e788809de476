// qzschemas setup [--remove]: prepares the platform root as the platform's
// installer would: installs the path resolver (and the shared directory) and
// registers the schema service library, which writes its built-in files and
// the schema cache. Repeatable. --remove undoes both registrations and leaves
// the files, as the library's own unregistration does.
#include <cstdio>
#include <string>

#include <windows.h>
#include <objbase.h>

#include <qzwin/platform.h>

#include "built_modules.h"
#include "command_line.h"
#include "commands.h"
#include "platform_state.h"
#include "schema_cache_report.h"
#include "schema_service.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas setup [--remove]\n"
    "Sets the platform up in the platform root as an installer does: installs the path resolver and\n"
    "registers the schema service library built beside this client, which writes its built-in files\n"
    "and the schema cache; then checks that the service hands out its schema collection. Running it\n"
    "again registers anew and keeps the schema cache's entries. --remove unregisters both; the\n"
    "files stay. Exits 1 when a registration fails, 3 when the schema collection cannot be had.\n";

// Asks the new service for its collection and says what the cache and the
// collection hold.
int CheckCollection() {
  return WithSchemaService([](IQZXMLSchemaService2* service) {
    const SchemaCacheFile cache = ReadSchemaCacheFile();
    std::printf("schema cache: %s (%zu %s)\n", cache.path.c_str(), cache.entries.size(),
                cache.entries.size() == 1 ? "entry" : "entries");
    const CollectionRequest request = RequestCollection(service);
    if (request.collection == nullptr) {
      ExplainMissingCollection(request);
      return kNoService;
    }
    std::string urns;
    for (const std::string& urn : UrnsOf(request.collection)) urns += (urns.empty() ? "" : ", ") + urn;
    std::printf("schema collection: %s\n", urns.empty() ? "(empty)" : urns.c_str());
    return kCommandOk;
  });
}

int Install() {
  const bool hadResolver = !RegisteredResolver().empty();
  const bool hadService = !RegisteredSchemaService().empty();
  std::printf("platform root: %s\n", qzwin::PlatformRoot().c_str());
  if (InstallResolver() != kCommandOk) return kCommandFailed;
  if (RegisterServer(BuiltModulePath("qzschemas.so").c_str(), false, false) != kCommandOk) return kCommandFailed;
  const int status = CheckCollection();
  if (status != kCommandOk) return status;
  std::printf("The platform is set up%s.\n", hadResolver && hadService ? " (it was before; registered anew)" : "");
  return kCommandOk;
}

int Remove() {
  int status = kCommandOk;
  if (RegisteredSchemaService().empty()) {
    std::printf("schema service: not registered\n");
  } else if (RegisterServer(BuiltModulePath("qzschemas.so").c_str(), true, false) != kCommandOk) {
    status = kCommandFailed;
  }
  if (RegisteredResolver().empty()) {
    std::printf("path resolver: not installed\n");
  } else if (RegisterServer(BuiltModulePath("resolver.so").c_str(), true, false) != kCommandOk) {
    status = kCommandFailed;
  }
  if (status == kCommandOk) {
    std::printf("The registrations are removed; the built-in files and the schema cache stay.\n");
  }
  return status;
}

}  // namespace

int Setup(int argc, char** argv) {
  if (argc == 1 && IsHelp(argv[0])) return PrintUsage(kUsage, true);
  if (argc == 1 && std::string(argv[0]) == "--remove") return Remove();
  if (argc != 0) return PrintUsage(kUsage, false);
  return Install();
}

}  // namespace qzcli
