// RegCreateKeyEx, RegOpenKeyEx, RegCloseKey, RegDeleteKey, RegDeleteTree,
// RegEnumKeyEx and RegQueryInfoKey, A and W.
#include <winreg.h>

#include <algorithm>

#include "api_forms.h"
#include "operations.h"

namespace qzwin::registry {
namespace {

// Keys carry no class: the class answers as "".
template <typename Char>
LONG AnswerEmptyClass(Char* classBuffer, DWORD* classLength) {
  if (classBuffer == nullptr) {
    if (classLength != nullptr) *classLength = 0;
    return ERROR_SUCCESS;
  }
  if (classLength == nullptr) return ERROR_INVALID_PARAMETER;
  return CopyName(std::u16string(), classBuffer, classLength);
}

template <typename Char>
LONG EnumKey(HKEY hKey, DWORD index, Char* name, DWORD* nameLength, DWORD* reserved, Char* classBuffer,
             DWORD* classLength, FILETIME* lastWriteTime) {
  if (name == nullptr || nameLength == nullptr || reserved != nullptr) return ERROR_INVALID_PARAMETER;
  return ReadKey(hKey, KEY_ENUMERATE_SUB_KEYS, [&](const RegKey& key, const KeyStore& store) -> LONG {
    if (index >= key.subkeys.size()) return ERROR_NO_MORE_ITEMS;
    LONG status = CopyName(CallForm<Char>::Name(key.subkeys[index].name), name, nameLength);
    if (status != ERROR_SUCCESS) return status;
    if (lastWriteTime != nullptr) *lastWriteTime = store.LastWriteTime();
    return AnswerEmptyClass(classBuffer, classLength);
  });
}

template <typename Char>
LONG QueryInfoKey(HKEY hKey, Char* classBuffer, DWORD* classLength, DWORD* reserved, DWORD* subKeys,
                  DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength,
                  DWORD* maxValueLength, DWORD* securityDescriptorSize, FILETIME* lastWriteTime) {
  if (reserved != nullptr || (classBuffer != nullptr && classLength == nullptr)) return ERROR_INVALID_PARAMETER;
  return ReadKey(hKey, KEY_QUERY_VALUE, [&](const RegKey& key, const KeyStore& store) -> LONG {
    // Lengths are those of the caller's form, so that buffers sized by them
    // fit what RegEnumKeyEx and RegEnumValue answer in that form.
    size_t longestSubkey = 0, longestValueName = 0, largestData = 0;
    for (const RegKey& subkey : key.subkeys) {
      longestSubkey = std::max(longestSubkey, CallForm<Char>::Name(subkey.name).size());
    }
    for (const RegValue& value : key.values) {
      longestValueName = std::max(longestValueName, CallForm<Char>::Name(value.name).size());
      largestData = std::max(largestData, CallForm<Char>::DataOut(value).size());
    }
    if (subKeys != nullptr) *subKeys = static_cast<DWORD>(key.subkeys.size());
    if (maxSubKeyLength != nullptr) *maxSubKeyLength = static_cast<DWORD>(longestSubkey);
    if (maxClassLength != nullptr) *maxClassLength = 0;
    if (values != nullptr) *values = static_cast<DWORD>(key.values.size());
    if (maxValueNameLength != nullptr) *maxValueNameLength = static_cast<DWORD>(longestValueName);
    if (maxValueLength != nullptr) *maxValueLength = static_cast<DWORD>(largestData);
    if (securityDescriptorSize != nullptr) *securityDescriptorSize = 0;  // keys carry no security
    if (lastWriteTime != nullptr) *lastWriteTime = store.LastWriteTime();
    return AnswerEmptyClass(classBuffer, classLength);
  });
}

}  // namespace
}  // namespace qzwin::registry

using qzwin::registry::NameArgument;

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR, DWORD, REGSAM samDesired,
                               const LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
  NameArgument subkey(lpSubKey);
  return qzwin::registry::CreateKey(hKey, subkey.get(), Reserved, samDesired, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR, DWORD, REGSAM samDesired,
                               const LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
  NameArgument subkey(lpSubKey);
  return qzwin::registry::CreateKey(hKey, subkey.get(), Reserved, samDesired, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  NameArgument subkey(lpSubKey);
  return qzwin::registry::OpenKey(hKey, subkey.get(), samDesired, phkResult);
}

LSTATUS WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  NameArgument subkey(lpSubKey);
  return qzwin::registry::OpenKey(hKey, subkey.get(), samDesired, phkResult);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) { return qzwin::registry::CloseKey(hKey); }

LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  NameArgument subkey(lpSubKey);
  return qzwin::registry::DeleteKey(hKey, subkey.get());
}

LSTATUS WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
  NameArgument subkey(lpSubKey);
  return qzwin::registry::DeleteKey(hKey, subkey.get());
}

LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
  NameArgument subkey(lpSubKey);
  return qzwin::registry::DeleteTree(hKey, subkey.get());
}

LSTATUS WINAPI RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey) {
  NameArgument subkey(lpSubKey);
  return qzwin::registry::DeleteTree(hKey, subkey.get());
}

LSTATUS WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                             LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  return qzwin::registry::EnumKey(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass, lpftLastWriteTime);
}

LSTATUS WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                             LPWSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  return qzwin::registry::EnumKey(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass, lpftLastWriteTime);
}

LSTATUS WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
                                LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                                PFILETIME lpftLastWriteTime) {
  return qzwin::registry::QueryInfoKey(hKey, lpClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen,
                                       lpcbMaxClassLen, lpcValues, lpcbMaxValueNameLen, lpcbMaxValueLen,
                                       lpcbSecurityDescriptor, lpftLastWriteTime);
}

LSTATUS WINAPI RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
                                LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                                PFILETIME lpftLastWriteTime) {
  return qzwin::registry::QueryInfoKey(hKey, lpClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen,
                                       lpcbMaxClassLen, lpcValues, lpcbMaxValueNameLen, lpcbMaxValueLen,
                                       lpcbSecurityDescriptor, lpftLastWriteTime);
}
