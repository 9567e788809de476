// RegSetValueEx, RegQueryValueEx, RegDeleteValue and RegEnumValue, A and W.
#include <winreg.h>

#include <cstring>

#include "api_forms.h"
#include "operations.h"

namespace qzwin::registry {
namespace {

template <typename Char>
LONG SetValue(HKEY hKey, const Char* valueName, DWORD type, const BYTE* data, DWORD size) {
  if (data == nullptr && size != 0) return ERROR_NOACCESS;
  NameArgument name(valueName);
  std::vector<BYTE> stored = CallForm<Char>::DataIn(type, data, size);
  return ChangeKey(hKey, KEY_SET_VALUE, [&](RegKey& key, bool* changed) -> LONG {
    const RegValue* existing = key.FindValue(name.orEmpty());
    *changed = existing == nullptr || existing->type != type || existing->data != stored;
    if (*changed) key.SetValue(name.orEmpty(), type, std::move(stored));
    return ERROR_SUCCESS;
  });
}

// Hands out a value's data with the size rules of RegQueryValueEx: no buffer
// asks for the size; a buffer too small gets ERROR_MORE_DATA and the size.
LONG AnswerData(const std::vector<BYTE>& bytes, BYTE* data, DWORD* size) {
  if (data != nullptr && bytes.size() > *size) {
    *size = static_cast<DWORD>(bytes.size());
    return ERROR_MORE_DATA;
  }
  if (data != nullptr && !bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  if (size != nullptr) *size = static_cast<DWORD>(bytes.size());
  return ERROR_SUCCESS;
}

template <typename Char>
LONG QueryValue(HKEY hKey, const Char* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
  if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;
  NameArgument name(valueName);
  return ReadKey(hKey, KEY_QUERY_VALUE, [&](const RegKey& key, const KeyStore&) -> LONG {
    const RegValue* value = key.FindValue(name.orEmpty());
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    return AnswerData(CallForm<Char>::DataOut(*value), data, size);
  });
}

template <typename Char>
LONG DeleteValue(HKEY hKey, const Char* valueName) {
  NameArgument name(valueName);
  return ChangeKey(hKey, KEY_SET_VALUE, [&](RegKey& key, bool* changed) -> LONG {
    *changed = key.RemoveValue(name.orEmpty());
    return *changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

template <typename Char>
LONG EnumValue(HKEY hKey, DWORD index, Char* valueName, DWORD* nameLength, DWORD* reserved, DWORD* type, BYTE* data,
               DWORD* size) {
  if (valueName == nullptr || nameLength == nullptr || reserved != nullptr || (data != nullptr && size == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  return ReadKey(hKey, KEY_QUERY_VALUE, [&](const RegKey& key, const KeyStore&) -> LONG {
    if (index >= key.values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue& value = key.values[index];
    const auto& name = CallForm<Char>::Name(value.name);
    const auto& bytes = CallForm<Char>::DataOut(value);
    if (type != nullptr) *type = value.type;
    // Either part too small: nothing is written, the name length stays and
    // the data size tells what is needed, as Windows does.
    if (name.size() >= *nameLength || (data != nullptr && bytes.size() > *size)) {
      if (size != nullptr) *size = static_cast<DWORD>(bytes.size());
      return ERROR_MORE_DATA;
    }
    CopyName(name, valueName, nameLength);
    return AnswerData(bytes, data, size);
  });
}

}  // namespace
}  // namespace qzwin::registry

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  return qzwin::registry::SetValue(hKey, lpValueName, dwType, lpData, cbData);
}

LSTATUS WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  return qzwin::registry::SetValue(hKey, lpValueName, dwType, lpData, cbData);
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData) {
  return qzwin::registry::QueryValue(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData) {
  return qzwin::registry::QueryValue(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  return qzwin::registry::DeleteValue(hKey, lpValueName);
}

LSTATUS WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  return qzwin::registry::DeleteValue(hKey, lpValueName);
}

LSTATUS WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                             LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  return qzwin::registry::EnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                             LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  return qzwin::registry::EnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType, lpData, lpcbData);
}
