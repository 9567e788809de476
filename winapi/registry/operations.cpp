#include "operations.h"

#include "process_state.h"
#include "registry_text.h"

namespace qzwin::registry {
namespace {

// The key a handle stands for in this copy of the registry, if it is still there.
LONG KeyOf(Hive& hive, const KeyHandle& handle, RegKey** key) {
  *key = FindKey(hive, handle.path);
  return *key != nullptr && (*key)->id == handle.id ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

LONG FindWithRights(OpenKeys& keys, HKEY hKey, REGSAM rights, KeyHandle* handle) {
  LONG status = keys.Find(hKey, handle);
  if (status == ERROR_SUCCESS && (handle->access & rights) != rights) status = ERROR_ACCESS_DENIED;
  return status;
}

// A subkey named relative to a handle: the handle, the subkey's names and its place.
struct Subkey {
  KeyHandle base;
  std::vector<std::u16string> names;
  KeyPath path;
};

LONG FindSubkeyPlace(OpenKeys& keys, HKEY parent, const std::u16string* subkey, Subkey* place) {
  LONG status = keys.Find(parent, &place->base);
  if (status != ERROR_SUCCESS) return status;
  // Windows accepts a leading backslash only right below HKEY_CLASSES_ROOT.
  bool leadingAllowed = place->base.predefined && place->base.path.root == kClassesRoot;
  status = SplitSubkeyPath(subkey != nullptr ? *subkey : std::u16string(), leadingAllowed, &place->names);
  if (status != ERROR_SUCCESS) return status;
  place->path = place->base.path;
  for (const std::u16string& name : place->names) place->path.folded.push_back(FoldName(name));
  return ERROR_SUCCESS;
}

// Follows names down from key; with a store to take ids from, makes the
// keys that are missing on the way. Null when a key is missing.
RegKey* Walk(RegKey* key, const std::vector<std::u16string>& names, KeyStore* creator, bool* created) {
  for (const std::u16string& name : names) {
    RegKey* next = key->FindSubkey(FoldName(name));
    if (next == nullptr) {
      if (creator == nullptr) return nullptr;
      next = &key->AddSubkey(name, creator->NewKeyId());
      *created = true;
    }
    key = next;
  }
  return key;
}

// Deletes the key at subkey below parent; with tree, everything below it
// too, else only when it has no subkeys (ERROR_ACCESS_DENIED, as Windows).
LONG DeleteBelow(HKEY parent, const std::u16string& subkey, bool tree) {
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  Subkey place;
  LONG status = FindSubkeyPlace(keys, parent, &subkey, &place);
  if (status != ERROR_SUCCESS) return status;
  return place.base.store->Change([&](Hive& hive, bool* changed) -> LONG {
    RegKey* key;
    LONG baseStatus = KeyOf(hive, place.base, &key);
    if (baseStatus != ERROR_SUCCESS) return baseStatus;
    if (place.path.folded.empty()) return ERROR_ACCESS_DENIED;  // a root is never deleted
    key = Walk(key, place.names, nullptr, nullptr);
    if (key == nullptr) return ERROR_FILE_NOT_FOUND;
    if (!tree && !key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    KeyPath parentPath = place.path;
    parentPath.folded.pop_back();
    FindKey(hive, parentPath)->RemoveSubkey(place.path.folded.back());
    *changed = true;
    return ERROR_SUCCESS;
  });
}

}  // namespace

LONG CreateKey(HKEY parent, const std::u16string* subkey, DWORD reserved, REGSAM access, HKEY* result,
               DWORD* disposition) {
  if (result == nullptr) return ERROR_BADKEY;
  *result = nullptr;
  if (reserved != 0) return ERROR_INVALID_PARAMETER;
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  Subkey place;
  LONG status = FindSubkeyPlace(keys, parent, subkey, &place);
  if (status != ERROR_SUCCESS) return status;
  KeyStore& store = *place.base.store;
  status = store.Refresh();
  RegKey* key = nullptr;
  if (status == ERROR_SUCCESS) status = KeyOf(store.Current(), place.base, &key);
  if (status != ERROR_SUCCESS) return status;

  // Opening an existing key needs no lock on the file and writes nothing.
  bool created = false;
  key = Walk(key, place.names, nullptr, nullptr);
  uint64_t id = key != nullptr ? key->id : 0;
  if (key == nullptr) {
    status = store.Change([&](Hive& hive, bool* changed) -> LONG {
      RegKey* base;
      LONG baseStatus = KeyOf(hive, place.base, &base);
      if (baseStatus != ERROR_SUCCESS) return baseStatus;
      id = Walk(base, place.names, &store, &created)->id;
      *changed = created;  // another process may have made it meanwhile
      return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
  }
  *result = keys.Add(KeyHandle{&store, place.path, id, EffectiveAccess(access), false});
  if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

LONG OpenKey(HKEY parent, const std::u16string* subkey, REGSAM access, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  Subkey place;
  LONG status = FindSubkeyPlace(keys, parent, subkey, &place);
  if (status != ERROR_SUCCESS) return status;
  // A predefined root opened with no subkey answers itself, as on Windows.
  if (place.base.predefined && (subkey == nullptr || subkey->empty())) {
    *result = parent;
    return ERROR_SUCCESS;
  }
  KeyStore& store = *place.base.store;
  status = store.Refresh();
  RegKey* key = nullptr;
  if (status == ERROR_SUCCESS) status = KeyOf(store.Current(), place.base, &key);
  if (status != ERROR_SUCCESS) return status;
  key = Walk(key, place.names, nullptr, nullptr);
  if (key == nullptr) return ERROR_FILE_NOT_FOUND;
  *result = keys.Add(KeyHandle{&store, place.path, key->id, EffectiveAccess(access), false});
  return ERROR_SUCCESS;
}

LONG CloseKey(HKEY key) {
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  return keys.Remove(key);
}

LONG DeleteKey(HKEY parent, const std::u16string* subkey) {
  if (subkey == nullptr) return ERROR_INVALID_PARAMETER;
  return DeleteBelow(parent, *subkey, false);
}

LONG DeleteTree(HKEY parent, const std::u16string* subkey) {
  if (subkey != nullptr) return DeleteBelow(parent, *subkey, true);
  // No subkey: empty the key itself of values and subkeys, and keep it.
  return ChangeKey(parent, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, [](RegKey& key, bool* changed) -> LONG {
    *changed = !key.values.empty() || !key.subkeys.empty();
    key.values.clear();
    key.subkeys.clear();
    return ERROR_SUCCESS;
  });
}

LONG ReadKey(HKEY hKey, REGSAM rights, const std::function<LONG(const RegKey& key, const KeyStore& store)>& read) {
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  KeyHandle handle;
  LONG status = FindWithRights(keys, hKey, rights, &handle);
  if (status == ERROR_SUCCESS) status = handle.store->Refresh();
  RegKey* key = nullptr;
  if (status == ERROR_SUCCESS) status = KeyOf(handle.store->Current(), handle, &key);
  return status == ERROR_SUCCESS ? read(*key, *handle.store) : status;
}

LONG ChangeKey(HKEY hKey, REGSAM rights, const std::function<LONG(RegKey& key, bool* changed)>& change) {
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  KeyHandle handle;
  LONG status = FindWithRights(keys, hKey, rights, &handle);
  if (status != ERROR_SUCCESS) return status;
  return handle.store->Change([&](Hive& hive, bool* changed) -> LONG {
    RegKey* key;
    LONG keyStatus = KeyOf(hive, handle, &key);
    return keyStatus == ERROR_SUCCESS ? change(*key, changed) : keyStatus;
  });
}

}  // namespace qzwin::registry
