#include "module_map.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace qzwin::loader {
namespace {

// Room for the main program's path from /proc/self/exe.
constexpr std::size_t kExePathSize = 4096;

std::string MainProgramPath() {
  char buffer[kExePathSize];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace

HMODULE MainModule() {
  // The program's entry point lies in its own mapping, whatever loaded it.
  static const HMODULE program = ModuleContaining(reinterpret_cast<const void*>(getauxval(AT_ENTRY)));
  return program;
}

HMODULE ModuleContaining(const void* address) {
  Dl_info info{};
  if (address == nullptr || dladdr(address, &info) == 0) return nullptr;
  return static_cast<HMODULE>(info.dli_fbase);
}

bool IsModuleHandle(HMODULE module) { return module != nullptr && ModuleContaining(module) == module; }

HMODULE ModuleOfDlHandle(void* dlHandle) {
  link_map* map = nullptr;
  if (dlHandle == nullptr || dlinfo(dlHandle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return nullptr;
  // The dynamic section lies inside the module's mapping.
  return ModuleContaining(map->l_ld);
}

std::string ModulePosixPath(HMODULE module) {
  if (!IsModuleHandle(module)) return {};
  if (module == MainModule()) return MainProgramPath();
  Dl_info info{};
  if (dladdr(module, &info) == 0 || info.dli_fname == nullptr || info.dli_fname[0] == '\0') return {};
  std::error_code error;
  std::filesystem::path path = std::filesystem::absolute(info.dli_fname, error);
  if (error) return info.dli_fname;
  return path.lexically_normal().string();
}

}  // namespace qzwin::loader
