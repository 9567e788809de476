// What COM activation pays for the registry: reads must come from the cached
// copy (one stat per call), and only a change on disk may cost a parse.
#include <benchmark/benchmark.h>
#include <sys/time.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kClasses = 500;  // a registry with this many classes, each with an InprocServer32

std::string ClassKey(int i) {
  char key[80];
  std::snprintf(key, sizeof key, "CLSID\\{%08X-0000-4000-8000-000000000000}\\InprocServer32", i);
  return key;
}

// A throw-away platform root holding a filled registry, removed at exit.
struct FilledRegistry {
  std::filesystem::path root;
  FilledRegistry() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qzbench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    root = pattern;
    setenv("QZ_ROOT", root.c_str(), 1);
    for (int i = 0; i < kClasses; ++i) {
      HKEY key = nullptr;
      RegCreateKeyExA(HKEY_CLASSES_ROOT, ClassKey(i).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
      const char path[] = "C:\\WINDOWS\\system32\\server.dll";
      RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
      RegSetValueExA(key, "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>("Apartment"), 10);
      RegCloseKey(key);
    }
  }
  ~FilledRegistry() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
};

FilledRegistry& Registry() {
  static FilledRegistry registry;
  return registry;
}

void ReadClass(int i) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ClassKey(i).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) std::abort();
  char path[MAX_PATH];
  DWORD size = sizeof path;
  RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size);
  size = sizeof path;
  RegQueryValueExA(key, "ThreadingModel", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size);
  RegCloseKey(key);
}

// The activation path: open a class's InprocServer32, read two values, close.
void BM_ActivationRead(benchmark::State& state) {
  Registry();
  int i = 0;
  for (auto _ : state) ReadClass(i++ % kClasses);
}
BENCHMARK(BM_ActivationRead);

// The same read right after another process changed the file: the cost of
// one reload of a registry of kClasses classes.
void BM_ActivationReadAfterForeignChange(benchmark::State& state) {
  std::string file = (Registry().root / "registry" / "registry.txt").string();
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    struct timeval times[2];
    gettimeofday(&times[0], nullptr);
    times[0].tv_sec += ++i;  // a new modification time marks the file changed
    times[1] = times[0];
    utimes(file.c_str(), times);
    state.ResumeTiming();
    ReadClass(i % kClasses);
  }
}
BENCHMARK(BM_ActivationReadAfterForeignChange);

// One value written: lock, copy, format, write, sync, rename.
void BM_SetValue(benchmark::State& state) {
  Registry();
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CLASSES_ROOT, "Bench", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  DWORD value = 0;
  for (auto _ : state) {
    ++value;
    RegSetValueExA(key, "counter", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  RegCloseKey(key);
}
BENCHMARK(BM_SetValue);

}  // namespace
