// qzschemas --version: the file version in the version resource of the
// schema service library built beside this client.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <windows.h>

#include "built_modules.h"
#include "command_line.h"
#include "commands.h"

namespace qzcli {
namespace {

// The fixed part of a version resource starts with this signature, followed
// by the structure version and the file version (most significant half,
// then least significant half).
constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr size_t kFixedFileInfoWords = 4;

// "22.0.0.507" from the bytes of a version resource; "" when none is found.
std::string FileVersion(const unsigned char* data, size_t size) {
  for (size_t at = 0; at + kFixedFileInfoWords * sizeof(uint32_t) <= size; at += sizeof(uint32_t)) {
    uint32_t words[kFixedFileInfoWords];
    std::memcpy(words, data + at, sizeof words);
    if (words[0] != kFixedFileInfoSignature) continue;
    return std::to_string(words[2] >> 16) + "." + std::to_string(words[2] & 0xFFFF) + "." +
           std::to_string(words[3] >> 16) + "." + std::to_string(words[3] & 0xFFFF);
  }
  return "";
}

}  // namespace

int Version() {
  const std::string library = BuiltModulePath("qzschemas.so");
  HMODULE module = LoadLibraryA(library.c_str());
  if (module == nullptr) {
    std::fprintf(stderr, "qzschemas: cannot load the library %s to read its version\n", library.c_str());
    return kCommandFailed;
  }
  std::string version;
  if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_VERSION)) {
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes != nullptr) version = FileVersion(static_cast<const unsigned char*>(bytes), SizeofResource(module, found));
  }
  FreeLibrary(module);
  if (version.empty()) {
    std::fprintf(stderr, "qzschemas: the library %s carries no version resource\n", library.c_str());
    return kCommandFailed;
  }
  std::printf("qzschemas %s (%s)\n", version.c_str(), library.c_str());
  return kCommandOk;
}

}  // namespace qzcli
