// LoadLibraryA and its companions over dlopen. Modules loaded here are
// reference-counted per module; the first load calls the module's exported
// DllMain with DLL_PROCESS_ATTACH and the last FreeLibrary calls it with
// DLL_PROCESS_DETACH before the module is closed (or the process's end does).
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <libloaderapi.h>
#include <winbase.h>
#include <qzwin/platform.h>

#include "module_map.h"
#include "module_names.h"

namespace qzwin::loader {
namespace {

struct LoadedModule {
  void* dlHandle;
  int references;
  std::uint64_t loadOrder;  // modules still loaded at exit are detached newest first
  bool pinned;              // never unloaded (GET_MODULE_HANDLE_EX_FLAG_PIN)
};

// What lpvReserved says to a DllMain detached because the process ends.
const LPVOID kProcessTerminating = reinterpret_cast<LPVOID>(1);

// Held across dlopen, DllMain and dlclose, like the Windows loader lock;
// recursive because a DllMain may load or free other modules.
std::recursive_mutex& LoaderLock() {
  static auto* lock = new std::recursive_mutex;
  return *lock;
}

// Modules loaded by LoadLibraryA, by handle. Guarded by LoaderLock().
std::map<HMODULE, LoadedModule>& LoadedModules() {
  static auto* modules = new std::map<HMODULE, LoadedModule>;
  return *modules;
}

bool HasElfMagic(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char magic[4] = {};
  return file.read(magic, sizeof magic) && std::memcmp(magic, "\x7f" "ELF", sizeof magic) == 0;
}

// Why dlopen refused `path`, in Windows terms: a file that is no module at
// all is a bad image; a missing file or a module whose dependencies cannot be
// found is a module not found.
DWORD LoadFailure(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error) && !HasElfMagic(path)) return ERROR_BAD_EXE_FORMAT;
  return ERROR_MOD_NOT_FOUND;
}

// A symbol that `module` itself defines; dlsym on its handle would also
// search the modules it depends on.
void* OwnSymbol(void* dlHandle, HMODULE module, const char* name) {
  void* symbol = dlsym(dlHandle, name);
  return symbol != nullptr && ModuleContaining(symbol) == module ? symbol : nullptr;
}

BOOL CallDllMain(void* dlHandle, HMODULE module, DWORD reason, LPVOID reserved) {
  auto* entry = reinterpret_cast<PDLLMAIN>(OwnSymbol(dlHandle, module, "DllMain"));
  return entry == nullptr ? TRUE : entry(module, reason, reserved);
}

// As on Windows, a module still loaded when the process ends is detached, with
// a non-null lpvReserved, and stays mapped. This runs from exit() before the
// static destructors of the modules loaded before it was registered, so those
// modules' globals are still alive during their detach.
void DetachAllAtExit() {
  std::lock_guard<std::recursive_mutex> guard(LoaderLock());
  auto& modules = LoadedModules();
  std::vector<std::pair<HMODULE, LoadedModule>> remaining(modules.begin(), modules.end());
  modules.clear();
  std::sort(remaining.begin(), remaining.end(),
            [](const auto& a, const auto& b) { return a.second.loadOrder > b.second.loadOrder; });
  for (const auto& [module, loaded] : remaining) {
    CallDllMain(loaded.dlHandle, module, DLL_PROCESS_DETACH, kProcessTerminating);
  }
}

// A module already mapped by name (null: the main program) or by an address
// inside it.
HMODULE ModuleByNameOrAddress(DWORD flags, LPCSTR nameOrAddress) {
  if ((flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) != 0) return ModuleContaining(nameOrAddress);
  if (nameOrAddress == nullptr) return MainModule();
  return FindLoadedModule(nameOrAddress);
}

}  // namespace
}  // namespace qzwin::loader

using namespace qzwin::loader;

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
  std::string path;
  if (!ToLoadablePath(lpLibFileName, &path)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }

  std::lock_guard<std::recursive_mutex> guard(LoaderLock());
  void* dlHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (dlHandle == nullptr) {
    SetLastError(LoadFailure(path));
    return nullptr;
  }
  HMODULE module = ModuleOfDlHandle(dlHandle);
  if (module == nullptr) {
    dlclose(dlHandle);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }

  auto& modules = LoadedModules();
  if (auto found = modules.find(module); found != modules.end()) {
    ++found->second.references;
    dlclose(dlHandle);  // the first handle keeps the module open
    return module;
  }

  static std::uint64_t loads = 0;
  modules[module] = LoadedModule{dlHandle, 1, ++loads, false};
  if (!CallDllMain(dlHandle, module, DLL_PROCESS_ATTACH, nullptr)) {
    // As on Windows: a refused attach is followed by a detach and the unload.
    modules.erase(module);
    CallDllMain(dlHandle, module, DLL_PROCESS_DETACH, nullptr);
    dlclose(dlHandle);
    SetLastError(ERROR_DLL_INIT_FAILED);
    return nullptr;
  }
  // After the module's constructors registered their destructors, so it runs before them.
  std::atexit(DetachAllAtExit);
  return module;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  std::lock_guard<std::recursive_mutex> guard(LoaderLock());
  auto& modules = LoadedModules();
  auto found = modules.find(hLibModule);
  if (found == modules.end()) {
    // Modules the program was linked with stay loaded, as on Windows.
    if (IsModuleHandle(hLibModule)) return TRUE;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  if (found->second.pinned || --found->second.references > 0) return TRUE;

  // Forgotten before the detach, so that a FreeLibrary from inside it cannot detach twice.
  void* dlHandle = found->second.dlHandle;
  modules.erase(found);
  CallDllMain(dlHandle, hLibModule, DLL_PROCESS_DETACH, nullptr);
  dlclose(dlHandle);
  return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  HMODULE module = hModule == nullptr ? MainModule() : hModule;
  if (!IsModuleHandle(module)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  // Exports by ordinal do not exist here.
  if (lpProcName == nullptr || IS_INTRESOURCE(lpProcName)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }

  void* dlHandle = nullptr;
  if (module == MainModule()) {
    dlHandle = dlopen(nullptr, RTLD_LAZY);
  } else {
    std::string path = ModulePosixPath(module);
    dlHandle = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  }
  if (dlHandle == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  void* symbol = OwnSymbol(dlHandle, module, lpProcName);
  dlclose(dlHandle);
  if (symbol == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
  return reinterpret_cast<FARPROC>(symbol);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName == nullptr) return MainModule();
  HMODULE module = FindLoadedModule(lpModuleName);
  if (module == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}

BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule) {
  constexpr DWORD kKnownFlags = GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT |
                                GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
  constexpr DWORD kPinOrUnchanged = GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (phModule != nullptr) *phModule = nullptr;
  if (phModule == nullptr || (dwFlags & ~kKnownFlags) != 0 || (dwFlags & kPinOrUnchanged) == kPinOrUnchanged) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }

  std::lock_guard<std::recursive_mutex> guard(LoaderLock());
  HMODULE module = ModuleByNameOrAddress(dwFlags, lpModuleName);
  if (module == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  // Only modules that LoadLibraryA loaded are counted; the others stay loaded anyway.
  auto& modules = LoadedModules();
  if (auto found = modules.find(module); found != modules.end()) {
    if ((dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) != 0) found->second.pinned = true;
    if ((dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) == 0) ++found->second.references;
  }
  *phModule = module;
  return TRUE;
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  std::string posixPath = ModulePosixPath(hModule == nullptr ? MainModule() : hModule);
  if (posixPath.empty()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  std::string path = qzwin::ToWindowsPath(posixPath);
  if (nSize == 0 || lpFilename == nullptr) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() < nSize) {
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
  }
  // Too small: as much as fits, terminated, and the buffer's size.
  std::memcpy(lpFilename, path.data(), nSize - 1);
  lpFilename[nSize - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return nSize;
}

BOOL WINAPI DisableThreadLibraryCalls(HMODULE hLibModule) {
  // Thread notifications are never sent here; only the handle is checked.
  if (IsModuleHandle(hLibModule)) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}
