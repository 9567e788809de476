// Reads the registry back for the registrar's tests.
#pragma once

#include <string>

#include <windows.h>

namespace atltest {

inline bool KeyExists(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The value's bytes, with "type:" in front ("1:text" for REG_SZ, whose
// terminator is dropped); "missing" when there is none.
inline std::string ValueOf(HKEY root, const char* path, const char* name = nullptr) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "missing";
  char data[512] = {};
  DWORD size = sizeof(data);
  DWORD type = REG_NONE;
  LSTATUS status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return "missing";
  if (type == REG_SZ && size > 0) --size;
  return std::to_string(type) + ":" + std::string(data, size);
}

}  // namespace atltest
