#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#include <objbase.h>
#include <unistd.h>

namespace qzfuzz {
namespace {

struct RootHolder {
  std::filesystem::path path;
  ~RootHolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
};

RootHolder& Holder() {
  static RootHolder holder;
  return holder;
}

}  // namespace

void StartPlatform() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qzfuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  Holder().path = pattern;
  setenv("QZ_ROOT", pattern.c_str(), 1);
  if (FAILED(CoInitialize(nullptr))) std::abort();
}

const std::filesystem::path& Root() { return Holder().path; }

void WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  if (std::fclose(file) != 0 || !written) std::abort();
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace qzfuzz
