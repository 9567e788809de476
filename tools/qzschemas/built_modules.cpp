#include "built_modules.h"

#include <filesystem>
#include <system_error>

namespace qzcli {

std::string BuiltModulePath(const char* fileName) {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return fileName;
  return (program.parent_path().parent_path() / "lib" / fileName).string();
}

}  // namespace qzcli
