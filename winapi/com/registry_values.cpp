#include "registry_values.h"

namespace qzwin::com {
namespace {

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// One body for the A and W forms of the registry functions.
template <class Char, class OpenKey, class QueryValue>
bool ReadString(OpenKey openKey, QueryValue queryValue, const Char* keyPath, const Char* valueName,
                std::basic_string<Char>* value) {
  HKEY key = nullptr;
  if (openKey(HKEY_CLASSES_ROOT, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD type = REG_NONE;
  DWORD bytes = 0;
  bool found = queryValue(key, valueName, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS && IsStringType(type);
  std::basic_string<Char> text(bytes / sizeof(Char), Char{});
  if (found) {
    found = queryValue(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) ==
                ERROR_SUCCESS &&
            IsStringType(type);
  }
  RegCloseKey(key);
  if (!found) return false;
  text.resize(bytes / sizeof(Char));
  while (!text.empty() && text.back() == 0) text.pop_back();  // the stored terminator
  *value = std::move(text);
  return true;
}

}  // namespace

bool ReadClassesRootString(const std::u16string& keyPath, const OLECHAR* valueName, std::u16string* value) {
  return ReadString(RegOpenKeyExW, RegQueryValueExW, keyPath.c_str(), valueName, value);
}

bool ReadClassesRootString(const std::string& keyPath, const char* valueName, std::string* value) {
  return ReadString(RegOpenKeyExA, RegQueryValueExA, keyPath.c_str(), valueName, value);
}

}  // namespace qzwin::com
