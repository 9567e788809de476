#include "registry_keys.h"

#include <objbase.h>
#include <winreg.h>

namespace qzwin::typelib {
namespace {

// Registry key names are at most 255 characters; GUID text is 38 and a terminator.
constexpr DWORD kMaxKeyNameChars = 256;
constexpr int kGuidTextChars = 39;
constexpr DWORD kMaxValueBytes = 2 * 32768;

class OpenKey {
 public:
  explicit OpenKey(const std::u16string& path, REGSAM access = KEY_READ) {
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::u16string GuidText(const GUID& guid) {
  OLECHAR text[kGuidTextChars] = {};
  StringFromGUID2(guid, text, kGuidTextChars);
  return text;
}

std::u16string HexText(unsigned value) {
  constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string text;
  do {
    text.insert(text.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return text;
}

bool ReadDefaultValue(const std::u16string& key, std::u16string* value) {
  OpenKey open(key);
  if (open.get() == nullptr) return false;
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(open.get(), nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ ||
      bytes > kMaxValueBytes) {
    return false;
  }
  std::u16string text(bytes / sizeof(char16_t) + 1, u'\0');
  DWORD size = static_cast<DWORD>(text.size() * sizeof(char16_t));
  if (RegQueryValueExW(open.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  text.resize(text.find(u'\0') == std::u16string::npos ? text.size() : text.find(u'\0'));
  *value = text;
  return true;
}

std::vector<std::u16string> SubKeyNames(const std::u16string& key) {
  std::vector<std::u16string> names;
  OpenKey open(key);
  if (open.get() == nullptr) return names;
  for (DWORD index = 0;; ++index) {
    OLECHAR name[kMaxKeyNameChars] = {};
    DWORD length = kMaxKeyNameChars;
    if (RegEnumKeyExW(open.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

bool KeyExists(const std::u16string& key) { return OpenKey(key).get() != nullptr; }

HRESULT WriteStringValue(const std::u16string& key, const std::u16string& name, const std::u16string& value) {
  HKEY created = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                   nullptr, &created, nullptr);
  if (status != ERROR_SUCCESS) return TYPE_E_REGISTRYACCESS;
  status = RegSetValueExW(created, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
  RegCloseKey(created);
  return status == ERROR_SUCCESS ? S_OK : TYPE_E_REGISTRYACCESS;
}

void DeleteKeyIfLeafless(const std::u16string& key) {
  if (SubKeyNames(key).empty()) RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
}

void DeleteKeyTree(const std::u16string& key) { RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str()); }

}  // namespace qzwin::typelib
