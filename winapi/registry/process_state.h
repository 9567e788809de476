// The process's side of the registry: the registry files in use (one
// KeyStore per file path, since the platform root can change between calls)
// and the table of open key handles. Every Reg* call holds Lock() while it
// works, so calls from several threads take turns.
#pragma once

#include <winreg.h>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "file_store.h"
#include "memory_tree.h"

namespace qzwin::registry {

// What a handle stands for. A handle names its key by place and identity:
// when the key at that place is gone or is another key, it was deleted.
struct KeyHandle {
  KeyStore* store = nullptr;
  KeyPath path;
  uint64_t id = 0;
  REGSAM access = 0;
  bool predefined = false;
};

class OpenKeys {
 public:
  // The one table of the process; it lives until the process ends, so Reg*
  // calls made while other libraries shut down still find it.
  static OpenKeys& Instance();

  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

  // A predefined root (on the current registry file) or an open handle.
  // ERROR_INVALID_HANDLE for anything else.
  LONG Find(HKEY hKey, KeyHandle* key);
  HKEY Add(KeyHandle key);
  // ERROR_INVALID_HANDLE when hKey is not an open handle; predefined roots
  // close without effect.
  LONG Remove(HKEY hKey);

 private:
  KeyStore& CurrentStore();

  std::mutex mutex_;
  std::unordered_map<std::string, std::unique_ptr<KeyStore>> stores_;
  KeyStore* lastStore_ = nullptr;
  std::unordered_map<uintptr_t, KeyHandle> handles_;
  uintptr_t nextHandle_ = 0x1000;
};

// The rights a REGSAM grants, with generic rights and MAXIMUM_ALLOWED mapped
// to key rights.
REGSAM EffectiveAccess(REGSAM requested);

}  // namespace qzwin::registry
