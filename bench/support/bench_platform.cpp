#include "bench_platform.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

#include <unistd.h>

#include <windows.h>
#include <comdef.h>
#include <qzwin/platform.h>

#include "cache/SharedFiles.h"
#include "resources/resource.h"

namespace qzbench {
namespace {

void RegisterResolver() {
  HMODULE resolver = LoadLibraryA(QZ_RESOLVER_MODULE);
  auto reg = resolver != nullptr
                 ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(resolver, "DllRegisterServer"))
                 : nullptr;
  if (reg == nullptr || FAILED(reg())) std::abort();
  FreeLibrary(resolver);
}

}  // namespace

BenchPlatform::BenchPlatform(const char* name) {
  root_ = std::filesystem::temp_directory_path() / (std::string(name) + "_" + std::to_string(getpid()));
  std::filesystem::create_directories(root_);
  setenv("QZ_ROOT", root_.c_str(), 1);
  CoInitialize(nullptr);
  RegisterResolver();

  _bstr_t windowsCachePath;
  if (FAILED(ResolveSharedFile(SCHEMA_CACHE_RELATIVE_PATH, windowsCachePath))) std::abort();
  if (!qzwin::ToPosixPath(static_cast<const char*>(windowsCachePath), &cachePath_)) std::abort();
  std::filesystem::create_directories(std::filesystem::path(cachePath_).parent_path());
}

BenchPlatform::~BenchPlatform() {
  CoUninitialize();
  std::filesystem::remove_all(root_);
}

std::filesystem::path BenchPlatform::DriveC(const char* folder) const {
  const std::filesystem::path path = root_ / "drive_c" / folder;
  std::filesystem::create_directories(path);
  return path;
}

std::string DefaultCacheText() {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_DEFAULT_SCHEMA_CACHE), RT_HTML);
  if (found == nullptr) std::abort();
  return std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                     SizeofResource(nullptr, found));
}

int RunBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace qzbench
