#include "module_names.h"

#include <dlfcn.h>
#include <link.h>
#include <strings.h>

#include <filesystem>
#include <string_view>
#include <system_error>

#include <qzwin/platform.h>

#include "module_map.h"

namespace qzwin::loader {
namespace {

bool IsBareName(std::string_view name) { return name.find_first_of("/\\:") == std::string_view::npos; }

std::string AbsoluteNormal(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return (error ? path : absolute).lexically_normal().string();
}

struct NameSearch {
  const char* name;
  const void* addressInside = nullptr;
};

// Called for every mapped object; remembers an address inside the one whose
// file name matches. Only collects: no dl* calls while the loader iterates.
int MatchFileName(dl_phdr_info* info, std::size_t, void* data) {
  auto* search = static_cast<NameSearch*>(data);
  if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') return 0;
  std::string fileName = std::filesystem::path(info->dlpi_name).filename().string();
  if (strcasecmp(fileName.c_str(), search->name) != 0) return 0;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type == PT_LOAD) {
      search->addressInside = reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
      return 1;
    }
  }
  return 0;
}

HMODULE FindByFileName(const char* name) {
  std::string mainPath = ModulePosixPath(MainModule());
  if (strcasecmp(std::filesystem::path(mainPath).filename().c_str(), name) == 0) return MainModule();
  NameSearch search{name};
  dl_iterate_phdr(MatchFileName, &search);
  return ModuleContaining(search.addressInside);
}

HMODULE FindByPath(const std::string& path) {
  if (path == ModulePosixPath(MainModule())) return MainModule();
  void* dlHandle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (dlHandle == nullptr) return nullptr;
  HMODULE module = ModuleOfDlHandle(dlHandle);
  dlclose(dlHandle);
  return module;
}

}  // namespace

bool ToLoadablePath(const char* name, std::string* path) {
  if (name == nullptr || name[0] == '\0') return false;
  if (IsBareName(name)) {
    std::error_code error;
    std::filesystem::path besideProgram = std::filesystem::path(ModulePosixPath(MainModule())).parent_path() / name;
    *path = std::filesystem::is_regular_file(besideProgram, error) ? besideProgram.string() : std::string(name);
    return true;
  }
  std::string posixPath;
  if (!qzwin::ToPosixPath(name, &posixPath) || posixPath.empty()) return false;
  *path = AbsoluteNormal(posixPath);
  return true;
}

HMODULE FindLoadedModule(const char* name) {
  if (name == nullptr || name[0] == '\0') return nullptr;
  if (IsBareName(name)) return FindByFileName(name);
  std::string path;
  return ToLoadablePath(name, &path) ? FindByPath(path) : nullptr;
}

}  // namespace qzwin::loader
