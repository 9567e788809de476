// qzschemas paths: the shared files as the service finds them.
#include <cstdio>
#include <cstring>
#include <string>

#include <windows.h>

#include <qzwin/platform.h>

#include "cache/SharedFiles.h"
#include "command_line.h"
#include "commands.h"
#include "module/QZModule.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas paths [--setup]\n"
    "Shows the schema cache and encodings paths that the path resolver gives, and whether the files\n"
    "exist. --setup first installs the path resolver when it is missing. Exits 1 when a path cannot\n"
    "be resolved, 3 when the path resolver is not installed.\n";

// Prints one shared file, or why its path could not be resolved; returns hr.
HRESULT PrintSharedFile(const char* label, HRESULT hr, const _bstr_t& path) {
  if (FAILED(hr)) {
    std::printf("%-14s (not resolved: 0x%08X)\n", label, static_cast<unsigned>(hr));
    return hr;
  }
  const char* windowsPath = path;
  std::string posixPath;
  const bool mapped = qzwin::ResolvePosixPath(windowsPath, &posixPath);
  std::printf("%-14s %s\n", label, windowsPath);
  std::printf("%-14s %s\n", "", mapped ? posixPath.c_str() : "(cannot be mapped)");
  std::printf("%-14s %s\n", "", FileExists(windowsPath) ? "exists" : "does not exist");
  return hr;
}

bool ResolverInstalled() {
  _bstr_t ignored;
  return ResolveSharedFile(OLESTR(""), ignored) != REGDB_E_CLASSNOTREG;
}

}  // namespace

int Paths(int argc, char** argv) {
  const bool setup = argc == 1 && std::strcmp(argv[0], "--setup") == 0;
  if (argc > 1 || (argc == 1 && !setup)) return PrintUsage(kUsage, argc == 1 && IsHelp(argv[0]));
  if (FAILED(CoInitialize(nullptr))) return kCommandFailed;
  if (setup && !ResolverInstalled()) {
    std::printf("platform root %s has no path resolver: installing it\n", qzwin::PlatformRoot().c_str());
    CoUninitialize();
    if (InstallResolver() != kCommandOk) return kCommandFailed;
    if (FAILED(CoInitialize(nullptr))) return kCommandFailed;
  }

  CQZModule module;
  _bstr_t cache, encodings;
  const HRESULT cacheResult = PrintSharedFile("schema cache", module.GetSchemaCachePath(cache), cache);
  const HRESULT encodingsResult = PrintSharedFile("encodings", module.GetEncodingsPath(encodings), encodings);
  CoUninitialize();
  if (cacheResult == REGDB_E_CLASSNOTREG) {
    std::fflush(stdout);
    std::fprintf(stderr, "qzschemas: the platform path resolver is not installed: run 'qzschemas setup'.\n");
    return kNoService;
  }
  return FAILED(cacheResult) || FAILED(encodingsResult) ? kCommandFailed : kCommandOk;
}

}  // namespace qzcli
