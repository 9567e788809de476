// Stand-in only: where the registry lives.
#pragma once

#include <string>

namespace qzwin {

// The file that holds the registry: <PlatformRoot()>/registry/registry.txt.
// Read anew on every call, like the platform root. Beside it lie the lock
// file (registry.lock), the file being written (registry.txt.new) and any
// corrupt file put aside (registry.txt.corrupt-<UTC time>).
std::string RegistryFilePath();

}  // namespace qzwin
