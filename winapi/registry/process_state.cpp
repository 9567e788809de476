#include "process_state.h"

#include <qzwin/registry.h>

#include <pthread.h>

namespace qzwin::registry {
namespace {

constexpr REGSAM kGenericRead = 0x80000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericExecute = 0x20000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kMaximumAllowed = 0x02000000;
// Handle values step like Windows handles and are never given twice, so a
// closed handle stays invalid instead of reaching someone else's key.
constexpr uintptr_t kHandleStep = 4;

int PredefinedRoot(HKEY hKey) {
  if (hKey == HKEY_CLASSES_ROOT) return kClassesRoot;
  if (hKey == HKEY_CURRENT_USER) return kCurrentUser;
  if (hKey == HKEY_LOCAL_MACHINE) return kLocalMachine;
  if (hKey == HKEY_USERS) return kUsers;
  return -1;
}

}  // namespace

REGSAM EffectiveAccess(REGSAM requested) {
  REGSAM access = requested & (KEY_ALL_ACCESS | KEY_CREATE_LINK);
  if (requested & kGenericRead) access |= KEY_READ;
  if (requested & kGenericWrite) access |= KEY_WRITE;
  if (requested & kGenericExecute) access |= KEY_EXECUTE;
  if (requested & (kGenericAll | kMaximumAllowed)) access |= KEY_ALL_ACCESS;
  return access;
}

OpenKeys& OpenKeys::Instance() {
  static OpenKeys* instance = [] {
    auto* keys = new OpenKeys;
    // A child forked while another thread is inside a Reg* call must not
    // inherit the lock held: fork waits for the call to finish.
    pthread_atfork([] { Instance().mutex_.lock(); }, [] { Instance().mutex_.unlock(); },
                   [] { Instance().mutex_.unlock(); });
    return keys;
  }();
  return *instance;
}

KeyStore& OpenKeys::CurrentStore() {
  std::string path = RegistryFilePath();
  if (lastStore_ != nullptr && lastStore_->FilePath() == path) return *lastStore_;
  std::unique_ptr<KeyStore>& store = stores_[path];
  if (!store) store = std::make_unique<KeyStore>(path);
  lastStore_ = store.get();
  return *store;
}

LONG OpenKeys::Find(HKEY hKey, KeyHandle* key) {
  int root = PredefinedRoot(hKey);
  if (root >= 0) {
    key->store = &CurrentStore();
    key->path = KeyPath{root, {}};
    key->id = key->store->Current().roots[root].id;
    key->access = KEY_ALL_ACCESS;
    key->predefined = true;
    return ERROR_SUCCESS;
  }
  auto it = handles_.find(reinterpret_cast<uintptr_t>(hKey));
  if (it == handles_.end()) return ERROR_INVALID_HANDLE;
  *key = it->second;
  return ERROR_SUCCESS;
}

HKEY OpenKeys::Add(KeyHandle key) {
  uintptr_t value = nextHandle_;
  nextHandle_ += kHandleStep;
  handles_.emplace(value, std::move(key));
  return reinterpret_cast<HKEY>(value);
}

LONG OpenKeys::Remove(HKEY hKey) {
  if (PredefinedRoot(hKey) >= 0) return ERROR_SUCCESS;
  return handles_.erase(reinterpret_cast<uintptr_t>(hKey)) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace qzwin::registry
