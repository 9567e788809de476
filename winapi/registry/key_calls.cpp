#include "key_calls.h"

#include "open_keys.h"
#include "registry_text.h"

namespace qzwin::registry {
namespace {

LONG KeyOf(Hive& hive, const KeyHandle& open, RegKey** key) {
  *key = FindKey(hive, open.path);
  return *key != nullptr && (*key)->id == open.id ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// Splits subkey below the handle's key. Windows accepts a leading backslash
// only below HKEY_CLASSES_ROOT itself.
LONG SubkeyNames(const KeyHandle& base, const std::u16string* subkey, std::vector<std::u16string>* names) {
  static const std::u16string kNone;
  bool leadingAllowed = base.predefined && base.path.root == kClassesRoot;
  return SplitSubkeyPath(subkey != nullptr ? *subkey : kNone, leadingAllowed, names);
}

KeyPath Below(const KeyPath& base, const std::vector<std::u16string>& names) {
  KeyPath path = base;
  for (const std::u16string& name : names) path.folded.push_back(FoldName(name));
  return path;
}

// Finds the key at path; with create, makes the missing keys on the way.
RegKey* Walk(KeyStore& store, Hive& hive, const KeyHandle& base, const std::vector<std::u16string>& names, bool create,
             bool* created) {
  RegKey* key = nullptr;
  if (KeyOf(hive, base, &key) != ERROR_SUCCESS) return nullptr;
  for (const std::u16string& name : names) {
    RegKey* next = key->FindSubkey(FoldName(name));
    if (next == nullptr) {
      if (!create) return nullptr;
      next = &key->AddSubkey(name, store.NewKeyId());
      *created = true;
    }
    key = next;
  }
  return key;
}

}  // namespace

LONG CreateKey(HKEY parent, const std::u16string* subkey, DWORD reserved, REGSAM access, HKEY* result,
               DWORD* disposition) {
  if (result == nullptr) return ERROR_BADKEY;
  *result = nullptr;
  if (reserved != 0) return ERROR_INVALID_PARAMETER;
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  KeyHandle base;
  LONG status = keys.Find(parent, &base);
  std::vector<std::u16string> names;
  if (status == ERROR_SUCCESS) status = SubkeyNames(base, subkey, &names);
  if (status == ERROR_SUCCESS) status = base.store->Refresh();
  if (status != ERROR_SUCCESS) return status;

  KeyHandle opened{base.store, Below(base.path, names), 0, EffectiveAccess(access), false};
  bool created = false;
  RegKey* existing = Walk(*base.store, base.store->Current(), base, names, false, &created);
  if (existing != nullptr) {
    opened.id = existing->id;
  } else {
    status = base.store->Change([&](Hive& hive, bool* changed) -> LONG {
      RegKey* key;
      LONG baseStatus = KeyOf(hive, base, &key);
      if (baseStatus != ERROR_SUCCESS) return baseStatus;
      key = Walk(*base.store, hive, base, names, true, &created);
      opened.id = key->id;
      *changed = created;
      return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
  }
  *result = keys.Add(std::move(opened));
  if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

LONG OpenKey(HKEY parent, const std::u16string* subkey, REGSAM access, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  KeyHandle base;
  LONG status = keys.Find(parent, &base);
  std::vector<std::u16string> names;
  if (status == ERROR_SUCCESS) status = SubkeyNames(base, subkey, &names);
  if (status != ERROR_SUCCESS) return status;
  // A predefined root opened with no subkey answers itself, as on Windows.
  if (base.predefined && (subkey == nullptr || subkey->empty())) {
    *result = parent;
    return ERROR_SUCCESS;
  }
  status = base.store->Refresh();
  if (status != ERROR_SUCCESS) return status;
  RegKey* key;
  status = KeyOf(base.store->Current(), base, &key);
  if (status != ERROR_SUCCESS) return status;
  bool unused = false;
  key = Walk(*base.store, base.store->Current(), base, names, false, &unused);
  if (key == nullptr) return ERROR_FILE_NOT_FOUND;
  *result = keys.Add(KeyHandle{base.store, Below(base.path, names), key->id, EffectiveAccess(access), false});
  return ERROR_SUCCESS;
}

LONG CloseKey(HKEY key) {
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  return keys.Remove(key);
}

// Deletes the key at subkey below parent; with tree, everything below it
// too, else only when it has no subkeys (ERROR_ACCESS_DENIED, as Windows).
static LONG DeleteBelow(HKEY parent, const std::u16string& subkey, bool tree) {
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  KeyHandle base;
  LONG status = keys.Find(parent, &base);
  std::vector<std::u16string> names;
  if (status == ERROR_SUCCESS) status = SubkeyNames(base, &subkey, &names);
  if (status != ERROR_SUCCESS) return status;
  KeyPath target = Below(base.path, names);
  return base.store->Change([&](Hive& hive, bool* changed) -> LONG {
    RegKey* key;
    LONG baseStatus = KeyOf(hive, base, &key);
    if (baseStatus != ERROR_SUCCESS) return baseStatus;
    if (target.folded.empty()) return ERROR_ACCESS_DENIED;  // a root is never deleted
    bool unused = false;
    key = Walk(*base.store, hive, base, names, false, &unused);
    if (key == nullptr) return ERROR_FILE_NOT_FOUND;
    if (!tree && !key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    KeyPath parentPath = target;
    std::u16string name = parentPath.folded.back();
    parentPath.folded.pop_back();
    FindKey(hive, parentPath)->RemoveSubkey(name);
    *changed = true;
    return ERROR_SUCCESS;
  });
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
  KeyHandle open;
  LONG status = keys.Find(hKey, &open);
  if (status != ERROR_SUCCESS) return status;
  if ((open.access & rights) != rights) return ERROR_ACCESS_DENIED;
  status = open.store->Refresh();
  if (status != ERROR_SUCCESS) return status;
  RegKey* key;
  status = KeyOf(open.store->Current(), open, &key);
  return status == ERROR_SUCCESS ? read(*key, *open.store) : status;
}

LONG ChangeKey(HKEY hKey, REGSAM rights, const std::function<LONG(RegKey& key, bool* changed)>& change) {
  OpenKeys& keys = OpenKeys::Instance();
  auto lock = keys.Lock();
  KeyHandle open;
  LONG status = keys.Find(hKey, &open);
  if (status != ERROR_SUCCESS) return status;
  if ((open.access & rights) != rights) return ERROR_ACCESS_DENIED;
  return open.store->Change([&](Hive& hive, bool* changed) -> LONG {
    RegKey* key;
    LONG keyStatus = KeyOf(hive, open, &key);
    return keyStatus == ERROR_SUCCESS ? change(*key, changed) : keyStatus;
  });
}

}  // namespace qzwin::registry
