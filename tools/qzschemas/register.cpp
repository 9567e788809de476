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
    "Exits 0 when every file is registered (now or before), 1 otherwise.\n";

}  // namespace

int Register(int argc, char** argv) {
  if (argc == 0 || IsHelp(argv[0])) {
    std::fputs(kUsage, argc == 0 ? stderr : stdout);
    return argc == 0 ? 2 : 0;
  }
  if (FAILED(CoInitialize(nullptr))) return 1;
  int status = 0;
  if (IQZXMLSchemaService2Ptr service = CreateSchemaService()) {
    for (int i = 0; i < argc; ++i) {
      const std::string path = WindowsPathOf(argv[i]);
      BSTR sentence = nullptr;
      const HRESULT hr = service->RegisterSchema(_bstr_t(path.c_str()), &sentence);
      const _bstr_t answer(sentence, false);
      // Only S_OK leaves the file registered; 123 says it was not found.
      std::printf("%s: %s\n", path.c_str(), answer.length() != 0 ? static_cast<const char*>(answer) : Describe(hr).c_str());
      if (hr != S_OK) status = 1;
    }
  } else {
    status = 1;
  }
  CoUninitialize();
  return status;
}

}  // namespace qzcli
