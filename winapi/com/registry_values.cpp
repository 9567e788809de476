#include "registry_values.h"

namespace qzwin::com {
namespace {

// Most values fit here, so that one query reads them; a longer one is read
// again into a buffer of its size.
constexpr DWORD kInlineValueBytes = 520;

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

template <class Char>
struct Api;
template <>
struct Api<char> {
  static constexpr auto Open = RegOpenKeyExA;
  static constexpr auto Query = RegQueryValueExA;
};
template <>
struct Api<char16_t> {
  static constexpr auto Open = RegOpenKeyExW;
  static constexpr auto Query = RegQueryValueExW;
};

// One body for the A and W forms: the string value of an open key.
template <class Char>
bool ReadValueString(HKEY key, const Char* valueName, std::basic_string<Char>* value) {
  std::basic_string<Char> text(kInlineValueBytes / sizeof(Char), Char{});
  DWORD type = REG_NONE;
  DWORD bytes = kInlineValueBytes;
  LONG status = Api<Char>::Query(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes);
  if (status == ERROR_MORE_DATA && IsStringType(type)) {
    text.assign((bytes + sizeof(Char) - 1) / sizeof(Char), Char{});
    status = Api<Char>::Query(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes);
  }
  if (status != ERROR_SUCCESS || !IsStringType(type)) return false;
  text.resize(bytes / sizeof(Char));
  while (!text.empty() && text.back() == 0) text.pop_back();  // the stored terminator
  *value = std::move(text);
  return true;
}

}  // namespace

bool ReadClassesRootString(const std::u16string& keyPath, const OLECHAR* valueName, std::u16string* value) {
  HKEY key = nullptr;
  if (Api<char16_t>::Open(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  const bool found = ReadValueString(key, valueName, value);
  RegCloseKey(key);
  return found;
}

ClassesRootKey::ClassesRootKey(const std::string& keyPath) {
  if (Api<char>::Open(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) key_ = nullptr;
}

ClassesRootKey::~ClassesRootKey() {
  if (key_ != nullptr) RegCloseKey(key_);
}

bool ClassesRootKey::ReadString(const char* valueName, std::string* value) const {
  return key_ != nullptr && ReadValueString(key_, valueName, value);
}

}  // namespace qzwin::com
