// qzschemas resolver register|unregister: installs or removes the platform
// path resolver that was built beside this client.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <windows.h>

#include <qzwin/platform.h>

#include "built_modules.h"
#include "cache/SharedFiles.h"
#include "command_line.h"
#include "commands.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas resolver register|unregister\n"
    "Installs (and makes the shared directory) or removes the platform path resolver built beside\n"
    "this client. 'qzschemas setup' does this and more. Exits 1 when the call fails.\n";

int CallServerExport(const char* exportName) {
  const std::string path = BuiltModulePath("resolver.so");
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    std::fprintf(stderr, "qzschemas: cannot load the path resolver %s\n", path.c_str());
    return 1;
  }
  auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, exportName));
  HRESULT hr = entry != nullptr ? entry() : E_UNEXPECTED;
  FreeLibrary(module);
  if (FAILED(hr)) {
    std::fprintf(stderr, "qzschemas: %s of %s failed: 0x%08X\n", exportName, path.c_str(),
                 static_cast<unsigned>(hr));
    return 1;
  }
  std::printf("%s: %s\n", exportName, path.c_str());
  return 0;
}

// The platform's installer makes the shared directory; here the resolver's
// installation stands in for it, so that the cache file can be written.
int MakeSharedDirectory() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  _bstr_t shared;
  HRESULT hr = ResolveSharedFile(OLESTR("Shared"), shared);
  CoUninitialize();
  std::string posixPath;
  const char* windowsPath = shared;
  if (FAILED(hr) || windowsPath == nullptr || !qzwin::ResolvePosixPath(windowsPath, &posixPath)) {
    std::fprintf(stderr, "qzschemas: the shared directory cannot be resolved (0x%08X)\n", static_cast<unsigned>(hr));
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(posixPath, error);
  if (error) {
    std::fprintf(stderr, "qzschemas: cannot make %s: %s\n", posixPath.c_str(), error.message().c_str());
    return 1;
  }
  std::printf("shared directory: %s\n                  %s\n", windowsPath, posixPath.c_str());
  return 0;
}

}  // namespace

int InstallResolver() {
  int status = CallServerExport("DllRegisterServer");
  return status != 0 ? status : MakeSharedDirectory();
}

int Resolver(int argc, char** argv) {
  if (argc == 1 && std::strcmp(argv[0], "register") == 0) return InstallResolver();
  if (argc == 1 && std::strcmp(argv[0], "unregister") == 0) return CallServerExport("DllUnregisterServer");
  return PrintUsage(kUsage, argc == 1 && IsHelp(argv[0]));
}

}  // namespace qzcli
