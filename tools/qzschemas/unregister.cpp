// qzschemas unregister FILE...: takes schema files out of the schema cache
// through the service. Files that no longer exist can be unregistered too.
#include <cstdio>
#include <string>

#include "commands.h"
#include "schema_service.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas unregister FILE...\n"
    "Removes the schema cache entry with the URN x-schema:<file name> of each file; the file\n"
    "itself need not exist. Exits 0 when every entry was removed, 1 otherwise, 3 without the service.\n";

}  // namespace

int Unregister(int argc, char** argv) {
  if (argc == 0 || IsHelp(argv[0])) return PrintUsage(kUsage, argc != 0);
  return WithSchemaService([&](IQZXMLSchemaService2* service) {
    int status = 0;
    for (int i = 0; i < argc; ++i) {
      const std::string path = WindowsPathOf(argv[i]);
      BSTR unused = nullptr;
      const HRESULT hr = service->UnRegisterSchema(_bstr_t(path.c_str()), &unused);
      SysFreeString(unused);
      if (hr == S_OK) {
        std::printf("%s: unregistered\n", path.c_str());
        continue;
      }
      // E_FAIL: no entry with its URN, or the cache could not be written.
      std::printf("%s: not unregistered: %s\n", path.c_str(),
                  hr == E_FAIL ? "not in the schema cache, or the cache could not be written" : Describe(hr).c_str());
      status = kCommandFailed;
    }
    return status;
  });
}

}  // namespace qzcli
