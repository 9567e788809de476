// The registrar: a parsed registry script applied to the registry.
#include <cctype>
#include <cstring>

#include "statreg.h"

namespace ATL {
namespace {

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// Keys that ForceRemove and Delete never delete, whatever a script says.
bool MayDeleteTree(const std::string& name) {
  static const char* const kProtected[] = {"AppID",    "CLSID",    "Component Categories", "FileType",
                                           "Interface", "Hardware", "Mime", "SAM", "SECURITY", "SYSTEM",
                                           "Software", "TypeLib"};
  for (const char* protectedName : kProtected) {
    if (SameName(name, protectedName)) return false;
  }
  return true;
}

HRESULT FromStatus(LSTATUS status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

HRESULT SetValue(HKEY key, const char* name, const RegistryScriptValue& value) {
  return FromStatus(::RegSetValueExA(key, name, 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                                     static_cast<DWORD>(value.data.size())));
}

void DeleteTree(HKEY parent, const std::string& name) {
  ::RegDeleteTreeA(parent, name.c_str());
  ::RegDeleteKeyA(parent, name.c_str());
}

HRESULT RegisterEntries(HKEY parent, const std::vector<RegistryScriptEntry>& entries) {
  for (const RegistryScriptEntry& entry : entries) {
    if (entry.isNamedValue) {
      HRESULT hr = SetValue(parent, entry.name.c_str(), entry.value);
      if (FAILED(hr)) return hr;
      continue;
    }
    bool removes = entry.flag == RegistryKeyFlag::ForceRemove || entry.flag == RegistryKeyFlag::Delete;
    if (removes && MayDeleteTree(entry.name)) DeleteTree(parent, entry.name);
    if (entry.flag == RegistryKeyFlag::Delete) continue;

    HKEY key = NULL;
    HRESULT hr = FromStatus(::RegCreateKeyExA(parent, entry.name.c_str(), 0, NULL, REG_OPTION_NON_VOLATILE,
                                              KEY_READ | KEY_WRITE, NULL, &key, NULL));
    if (FAILED(hr)) return hr;
    if (entry.hasValue) hr = SetValue(key, NULL, entry.value);
    if (SUCCEEDED(hr)) hr = RegisterEntries(key, entry.children);
    ::RegCloseKey(key);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

bool HasSubkeys(HKEY key) {
  DWORD subkeys = 0;
  LSTATUS status = ::RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
  return status != ERROR_SUCCESS || subkeys != 0;
}

// Goes on past failures and returns the first.
HRESULT UnregisterEntries(HKEY parent, const std::vector<RegistryScriptEntry>& entries) {
  HRESULT first = S_OK;
  auto note = [&first](HRESULT hr) {
    if (SUCCEEDED(first) && FAILED(hr)) first = hr;
  };
  for (const RegistryScriptEntry& entry : entries) {
    bool keep = entry.flag == RegistryKeyFlag::NoRemove;
    if (entry.isNamedValue) {
      LSTATUS status = keep ? ERROR_SUCCESS : ::RegDeleteValueA(parent, entry.name.c_str());
      if (status != ERROR_FILE_NOT_FOUND) note(FromStatus(status));
      continue;
    }
    HKEY key = NULL;
    if (::RegOpenKeyExA(parent, entry.name.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) continue;
    note(UnregisterEntries(key, entry.children));
    bool inUse = HasSubkeys(key);
    ::RegCloseKey(key);
    if (!keep && !inUse) note(FromStatus(::RegDeleteKeyA(parent, entry.name.c_str())));
  }
  return first;
}

HRESULT Unregister(const std::vector<RegistryScriptRoot>& roots) {
  HRESULT first = S_OK;
  for (const RegistryScriptRoot& root : roots) {
    HRESULT hr = UnregisterEntries(root.key, root.entries);
    if (SUCCEEDED(first)) first = hr;
  }
  return first;
}

HRESULT Register(const std::vector<RegistryScriptRoot>& roots) {
  for (const RegistryScriptRoot& root : roots) {
    HRESULT hr = RegisterEntries(root.key, root.entries);
    if (FAILED(hr)) {
      Unregister(roots);
      return hr;
    }
  }
  return S_OK;
}

}  // namespace

HRESULT CRegObject::AddReplacement(LPCSTR key, LPCSTR item) {
  if (key == NULL || item == NULL) return E_INVALIDARG;
  m_replacements.push_back({key, item});
  return S_OK;
}

HRESULT CRegObject::ClearReplacements() {
  m_replacements.clear();
  return S_OK;
}

HRESULT CRegObject::RunScript(LPCSTR script, BOOL bRegister) {
  if (script == NULL) return E_INVALIDARG;
  std::string expanded;
  HRESULT hr = ExpandRegistryScript(script, m_replacements, &expanded);
  std::vector<RegistryScriptRoot> roots;
  if (SUCCEEDED(hr)) hr = ParseRegistryScript(expanded, &roots);
  if (FAILED(hr)) return hr;
  return bRegister ? Register(roots) : Unregister(roots);
}

// The resource's text up to its first NUL, without a UTF-8 byte order mark.
HRESULT CRegObject::RunResource(HINSTANCE hInst, UINT nID, LPCSTR szType, BOOL bRegister) {
  HRSRC found = ::FindResourceA(hInst, MAKEINTRESOURCEA(nID), szType);
  if (found == NULL) return HRESULT_FROM_WIN32(::GetLastError());
  HGLOBAL loaded = ::LoadResource(hInst, found);
  const char* bytes = loaded != NULL ? static_cast<const char*>(::LockResource(loaded)) : NULL;
  if (bytes == NULL) return HRESULT_FROM_WIN32(::GetLastError());
  std::string text(bytes, ::SizeofResource(hInst, found));
  text.resize(std::strlen(text.c_str()));
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  return RunScript(text.c_str(), bRegister);
}

}  // namespace ATL
