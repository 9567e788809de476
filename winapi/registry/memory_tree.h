// The registry in memory: a tree of keys per predefined root. Names keep the
// case they were created with and are looked up case-insensitively.
#pragma once

#include <windef.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qzwin::registry {

// Windows limits a key name (one path component) to this many characters.
constexpr size_t kMaxKeyNameLength = 255;

struct RegValue {
  std::u16string name;  // empty: the key's default value
  DWORD type = 0;
  std::vector<BYTE> data;
};

struct RegKey {
  std::u16string name;           // as created
  std::u16string folded;         // FoldName(name): what lookups and sorting use
  uint64_t id = 0;               // identity of this key in this process (see KeyStore)
  std::vector<RegValue> values;  // in the order they were first set, as Windows enumerates them
  std::vector<RegKey> subkeys;   // sorted by folded name, as Windows enumerates them

  RegKey* FindSubkey(std::u16string_view foldedName);
  const RegKey* FindSubkey(std::u16string_view foldedName) const;
  // Inserts a new empty subkey in sorted place; the name must not exist yet.
  // Invalidates pointers to this key's other subkeys.
  RegKey& AddSubkey(std::u16string_view keyName, uint64_t keyId);
  bool RemoveSubkey(std::u16string_view foldedName);

  RegValue* FindValue(std::u16string_view valueName);
  const RegValue* FindValue(std::u16string_view valueName) const;
  // Overwrites a value in place (keeping its name's case and its place) or appends it.
  void SetValue(std::u16string_view valueName, DWORD type, std::vector<BYTE> data);
  bool RemoveValue(std::u16string_view valueName);
};

enum RootIndex : int { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kRootCount };

// Full names of the roots as they appear in the registry file.
extern const std::array<std::u16string_view, kRootCount> kRootNames;

struct Hive {
  std::array<RegKey, kRootCount> roots;
  Hive();
};

// A key's place: its root and the folded names of the keys below it.
struct KeyPath {
  int root = kClassesRoot;
  std::vector<std::u16string> folded;
};

RegKey* FindKey(Hive& hive, const KeyPath& path);

// Splits a subkey path at '\'. Empty components (doubled or trailing
// backslashes) are skipped. Fails with ERROR_BAD_PATHNAME for a leading
// backslash unless allowed, ERROR_INVALID_PARAMETER for a component longer
// than kMaxKeyNameLength.
LONG SplitSubkeyPath(std::u16string_view subkey, bool allowLeadingBackslash, std::vector<std::u16string>* names);

}  // namespace qzwin::registry
