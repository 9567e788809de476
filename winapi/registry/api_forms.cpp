#include "api_forms.h"

#include <winreg.h>

#include <cstring>

#include "registry_text.h"

namespace qzwin::registry {

NameArgument::NameArgument(const char* narrow) : present_(narrow != nullptr) {
  if (narrow != nullptr) text_ = WidenUtf8(narrow);
}

NameArgument::NameArgument(const char16_t* wide) : present_(wide != nullptr) {
  if (wide != nullptr) text_.assign(wide, WideLength(wide));
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

std::string CallForm<char>::Name(const std::u16string& name) { return NarrowToUtf8(name); }

std::vector<BYTE> CallForm<char>::DataOut(const RegValue& value) {
  if (!IsStringType(value.type)) return value.data;
  std::u16string units(value.data.size() / 2, u'\0');  // an odd last byte is no character
  if (!units.empty()) std::memcpy(units.data(), value.data.data(), units.size() * 2);
  std::string narrow = NarrowToUtf8(units);
  return std::vector<BYTE>(narrow.begin(), narrow.end());
}

std::vector<BYTE> CallForm<char>::DataIn(DWORD type, const BYTE* data, DWORD size) {
  if (!IsStringType(type)) return CallForm<char16_t>::DataIn(type, data, size);
  std::u16string wide = WidenUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  std::vector<BYTE> stored(wide.size() * 2);
  if (!stored.empty()) std::memcpy(stored.data(), wide.data(), stored.size());
  return stored;
}

std::vector<BYTE> CallForm<char16_t>::DataIn(DWORD, const BYTE* data, DWORD size) {
  return size == 0 ? std::vector<BYTE>() : std::vector<BYTE>(data, data + size);
}

}  // namespace qzwin::registry
