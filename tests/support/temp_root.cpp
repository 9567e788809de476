#include "support/temp_root.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include <unistd.h>

namespace qztest {
namespace {

std::filesystem::path MakeRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qztest-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

struct RootHolder {
  std::filesystem::path path = MakeRoot();
  ~RootHolder() {
    if (std::getenv("QZ_KEEP_TEST_ROOT") != nullptr) return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::filesystem::path& TempRoot() {
  static RootHolder holder;
  return holder.path;
}

std::filesystem::path FreshDirectory(const char* name) {
  static int counter = 0;
  std::filesystem::path dir = TempRoot() / "t" / (std::string(name) + "-" + std::to_string(++counter));
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace qztest
