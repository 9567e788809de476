// qzschemas register FILE...: adds schema files to the schema cache through
// the service, printing the service's answer for each.
#include <cstdio>
#include <string>

#include "commands.h"
#include "schema_service.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas register FILE...\n"
    "Adds each schema file to the platform's schema cache under the URN x-schema:<file name>.\n"
    "Exits 0 when every file is registered (now or before), 1 otherwise, 3 without the service.\n";

}  // namespace

int Register(int argc, char** argv) {
  if (argc == 0 || IsHelp(argv[0])) return PrintUsage(kUsage, argc != 0);
  return WithSchemaService([&](IQZXMLSchemaService2* service) {
    int status = 0;
    for (int i = 0; i < argc; ++i) {
      const std::string path = WindowsPathOf(argv[i]);
      BSTR sentence = nullptr;
      const HRESULT hr = service->RegisterSchema(_bstr_t(path.c_str()), &sentence);
      // The service's sentence names the file; without one, say what happened.
      const _bstr_t answer(sentence, false);
      if (answer.length() != 0) {
        std::printf("%s\n", static_cast<const char*>(answer));
      } else {
        std::printf("%s: %s\n", path.c_str(), Describe(hr).c_str());
      }
      // Only S_OK leaves the file registered; 123 says it was not found.
      if (hr != S_OK) status = kCommandFailed;
    }
    return status;
  });
}

}  // namespace qzcli
