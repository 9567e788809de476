// CComModule's self-registration: the registry scripts of the object map and
// the type library that the module's file carries.
#include <string>

#include "atlbase.h"

namespace ATL {
namespace {

typedef std::basic_string<OLECHAR> OleString;

HRESULT ModulePath(HINSTANCE hInst, OleString* path) {
  char narrow[MAX_PATH];
  DWORD length = ::GetModuleFileNameA(hInst, narrow, MAX_PATH);
  if (length == 0) return HRESULT_FROM_WIN32(::GetLastError());
  if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  OLECHAR wide[MAX_PATH];
  int converted = ::MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide, MAX_PATH);
  if (converted <= 0) return HRESULT_FROM_WIN32(::GetLastError());
  *path = wide;
  return S_OK;
}

size_t DirectoryLength(const OleString& path) {
  size_t slash = path.find_last_of(OLESTR("\\/"));
  return slash == OleString::npos ? 0 : slash;
}

// The type library resource lpszIndex ("\\N") of the module's file, else the
// file beside it named like the module with ".tlb".
HRESULT LoadModuleTypeLib(HINSTANCE hInst, LPCOLESTR lpszIndex, OleString* path, ITypeLib** ppTypeLib) {
  HRESULT hr = ModulePath(hInst, path);
  if (FAILED(hr)) return hr;
  OleString module = *path;
  if (lpszIndex != NULL) *path += lpszIndex;
  hr = ::LoadTypeLib(path->c_str(), ppTypeLib);
  if (SUCCEEDED(hr)) return hr;
  size_t dot = module.find_last_of(OLESTR('.'));
  if (dot != OleString::npos && dot > DirectoryLength(module)) module.erase(dot);
  *path = module + OLESTR(".tlb");
  return ::LoadTypeLib(path->c_str(), ppTypeLib);
}

}  // namespace

HRESULT WINAPI AtlRegisterTypeLib(HINSTANCE hInstTypeLib, LPCOLESTR lpszIndex) {
  OleString path;
  ITypeLib* typeLib = NULL;
  HRESULT hr = LoadModuleTypeLib(hInstTypeLib, lpszIndex, &path, &typeLib);
  if (FAILED(hr)) return hr;
  OleString directory = path.substr(0, DirectoryLength(path));
  // Some SDKs declare the two paths without const.
  hr = ::RegisterTypeLib(typeLib, const_cast<LPOLESTR>(path.c_str()), const_cast<LPOLESTR>(directory.c_str()));
  typeLib->Release();
  return hr;
}

HRESULT WINAPI AtlUnRegisterTypeLib(HINSTANCE hInstTypeLib, LPCOLESTR lpszIndex) {
  OleString path;
  ITypeLib* typeLib = NULL;
  HRESULT hr = LoadModuleTypeLib(hInstTypeLib, lpszIndex, &path, &typeLib);
  if (FAILED(hr)) return hr;
  TLIBATTR* attributes = NULL;
  hr = typeLib->GetLibAttr(&attributes);
  if (SUCCEEDED(hr)) {
    hr = ::UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                             attributes->syskind);
    typeLib->ReleaseTLibAttr(attributes);
  }
  typeLib->Release();
  return hr;
}

HRESULT CComModule::RegisterTypeLib(LPCOLESTR lpszIndex) { return AtlRegisterTypeLib(m_hInstTypeLib, lpszIndex); }

HRESULT CComModule::UnRegisterTypeLib(LPCOLESTR lpszIndex) { return AtlUnRegisterTypeLib(m_hInstTypeLib, lpszIndex); }

HRESULT CComModule::RegisterServer(BOOL bRegTypeLib, const CLSID* pCLSID) {
  HRESULT hr = S_OK;
  for (_ATL_OBJMAP_ENTRY* entry = m_pObjMap; entry != NULL && entry->pclsid != NULL; ++entry) {
    if (pCLSID != NULL && !::IsEqualCLSID(*pCLSID, *entry->pclsid)) continue;
    hr = entry->pfnUpdateRegistry(TRUE);
    if (FAILED(hr)) return hr;
    // Component categories would be registered here; the shell offers none.
  }
  if (bRegTypeLib) hr = RegisterTypeLib();
  return hr;
}

HRESULT CComModule::UnregisterServer(BOOL bUnRegTypeLib, const CLSID* pCLSID) {
  HRESULT hr = S_OK;
  for (_ATL_OBJMAP_ENTRY* entry = m_pObjMap; entry != NULL && entry->pclsid != NULL; ++entry) {
    if (pCLSID != NULL && !::IsEqualCLSID(*pCLSID, *entry->pclsid)) continue;
    hr = entry->pfnUpdateRegistry(FALSE);
    if (FAILED(hr)) return hr;
  }
  if (bUnRegTypeLib) hr = UnRegisterTypeLib();
  return hr;
}

}  // namespace ATL
