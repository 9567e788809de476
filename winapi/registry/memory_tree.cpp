#include "memory_tree.h"

#include <winerror.h>

#include <algorithm>

#include "registry_text.h"

namespace qzwin::registry {
namespace {

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpcaseUnit(a[i]) != UpcaseUnit(b[i])) return false;
  }
  return true;
}

template <typename Keys>
auto LowerBound(Keys& keys, std::u16string_view foldedName) {
  return std::lower_bound(keys.begin(), keys.end(), foldedName,
                          [](const RegKey& key, std::u16string_view name) { return key.folded < name; });
}

}  // namespace

const std::array<std::u16string_view, kRootCount> kRootNames = {u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER",
                                                                u"HKEY_LOCAL_MACHINE", u"HKEY_USERS"};

Hive::Hive() {
  for (int i = 0; i < kRootCount; ++i) {
    roots[i].name = kRootNames[i];
    roots[i].folded = FoldName(kRootNames[i]);
    roots[i].id = static_cast<uint64_t>(i) + 1;
  }
}

RegKey* RegKey::FindSubkey(std::u16string_view foldedName) {
  auto it = LowerBound(subkeys, foldedName);
  return it != subkeys.end() && it->folded == foldedName ? &*it : nullptr;
}

const RegKey* RegKey::FindSubkey(std::u16string_view foldedName) const {
  auto it = LowerBound(subkeys, foldedName);
  return it != subkeys.end() && it->folded == foldedName ? &*it : nullptr;
}

RegKey& RegKey::AddSubkey(std::u16string_view keyName, uint64_t keyId) {
  RegKey key;
  key.name = keyName;
  key.folded = FoldName(keyName);
  key.id = keyId;
  auto it = LowerBound(subkeys, key.folded);
  return *subkeys.insert(it, std::move(key));
}

bool RegKey::RemoveSubkey(std::u16string_view foldedName) {
  auto it = LowerBound(subkeys, foldedName);
  if (it == subkeys.end() || it->folded != foldedName) return false;
  subkeys.erase(it);
  return true;
}

RegValue* RegKey::FindValue(std::u16string_view valueName) {
  for (RegValue& value : values) {
    if (SameName(value.name, valueName)) return &value;
  }
  return nullptr;
}

const RegValue* RegKey::FindValue(std::u16string_view valueName) const {
  return const_cast<RegKey*>(this)->FindValue(valueName);
}

void RegKey::SetValue(std::u16string_view valueName, DWORD type, std::vector<BYTE> data) {
  RegValue* value = FindValue(valueName);
  if (value == nullptr) {
    values.push_back(RegValue{std::u16string(valueName), type, {}});
    value = &values.back();
  }
  value->type = type;
  value->data = std::move(data);
}

bool RegKey::RemoveValue(std::u16string_view valueName) {
  auto it = std::find_if(values.begin(), values.end(),
                         [&](const RegValue& value) { return SameName(value.name, valueName); });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

RegKey* FindKey(Hive& hive, const KeyPath& path) {
  RegKey* key = &hive.roots[path.root];
  for (const std::u16string& name : path.folded) {
    key = key->FindSubkey(name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

LONG SplitSubkeyPath(std::u16string_view subkey, bool allowLeadingBackslash, std::vector<std::u16string>* names) {
  names->clear();
  if (!subkey.empty() && subkey.front() == u'\\' && !allowLeadingBackslash) return ERROR_BAD_PATHNAME;
  size_t pos = 0;
  while (pos < subkey.size()) {
    size_t end = subkey.find(u'\\', pos);
    if (end == std::u16string_view::npos) end = subkey.size();
    if (end > pos) {
      if (end - pos > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
      names->emplace_back(subkey.substr(pos, end - pos));
    }
    pos = end + 1;
  }
  return ERROR_SUCCESS;
}

}  // namespace qzwin::registry
