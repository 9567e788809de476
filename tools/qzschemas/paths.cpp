// qzschemas paths: the shared files as the service finds them.
#include <cstdio>
#include <cstring>
#include <string>

#include <windows.h>

#include <qzwin/platform.h>

#include "cache/SharedFiles.h"
#include "commands.h"
#include "module/QZModule.h"

namespace qzcli {
namespace {

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
  if (argc > 1 || (argc == 1 && !setup)) {
    std::fprintf(stderr, "usage: qzschemas paths [--setup]\n");
    return 2;
  }
  if (FAILED(CoInitialize(nullptr))) return 1;
  if (setup && !ResolverInstalled()) {
    std::printf("platform root %s has no path resolver: installing it\n", qzwin::PlatformRoot().c_str());
    CoUninitialize();
    if (InstallResolver() != 0) return 1;
    if (FAILED(CoInitialize(nullptr))) return 1;
  }

  CQZModule module;
  _bstr_t cache, encodings;
  const HRESULT cacheResult = PrintSharedFile("schema cache", module.GetSchemaCachePath(cache), cache);
  const HRESULT encodingsResult = PrintSharedFile("encodings", module.GetEncodingsPath(encodings), encodings);
  CoUninitialize();
  if (cacheResult == REGDB_E_CLASSNOTREG) {
    std::printf("\nThe platform path resolver is not installed: run 'qzschemas resolver register'.\n");
  }
  return FAILED(cacheResult) || FAILED(encodingsResult) ? 1 : 0;
}

}  // namespace qzcli
