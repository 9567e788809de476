// Stand-in only: where the registry lives.
#pragma once

#include <string>

namespace qzwin {

// The file that holds the registry: <PlatformRoot()>/registry/registry.txt.
// Read anew on every call, like the platform root. Beside it lie the lock
// file (registry.lock), the file being written (registry.txt.new) and any
// corrupt file put aside (registry.txt.corrupt-<UTC time>).
std::string RegistryFilePath();

// Registry reads that belong together, such as the values of one class's
// registration. While a group lives on a thread, its reads look at the
// registry file for other processes' changes once, at the first read,
// instead of before every read: together they see the registry as it stood
// then. Groups may nest; the outermost one counts.
class RegistryReadGroup {
 public:
  RegistryReadGroup();
  ~RegistryReadGroup();
  RegistryReadGroup(const RegistryReadGroup&) = delete;
  RegistryReadGroup& operator=(const RegistryReadGroup&) = delete;
};

}  // namespace qzwin
