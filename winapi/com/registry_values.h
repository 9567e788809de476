// Reading the string values of HKEY_CLASSES_ROOT that COM looks up.
#pragma once

#include <string>

#include <winreg.h>
#include <wtypes.h>

namespace qzwin::com {

// The REG_SZ (or REG_EXPAND_SZ, not expanded) value valueName (null: the
// default value) of HKCR\keyPath. False when the key or the value is missing
// or is not a string.
bool ReadClassesRootString(const std::u16string& keyPath, const OLECHAR* valueName, std::u16string* value);

// HKCR\keyPath opened once for reading several of its string values, and
// closed when the object goes.
class ClassesRootKey {
 public:
  explicit ClassesRootKey(const std::string& keyPath);
  ~ClassesRootKey();
  ClassesRootKey(const ClassesRootKey&) = delete;
  ClassesRootKey& operator=(const ClassesRootKey&) = delete;

  // As ReadClassesRootString, for this key; false when it could not be opened.
  bool ReadString(const char* valueName, std::string* value) const;

 private:
  HKEY key_ = nullptr;
};

}  // namespace qzwin::com
