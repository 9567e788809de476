#include "cache/SharedFiles.h"

#include "PlatformPathResolver.h"

HRESULT ResolveSharedFile(const _bstr_t& relative, _bstr_t& full) {
  // Neither the resolver nor its answer is kept: the platform may move its
  // directory between two calls.
  IPlatformPathResolver* pResolver = nullptr;
  BSTR bstrFull = nullptr;
  try {
    HRESULT hr = CoCreateInstance(CLSID_PlatformPathResolver, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IPlatformPathResolver, reinterpret_cast<void**>(&pResolver));
    if (FAILED(hr)) _com_issue_error(hr);
    BSTR bstrRelative = relative.length() == 0 ? nullptr : static_cast<BSTR>(relative);
    hr = pResolver->ResolveSharedPath(bstrRelative, &bstrFull);
    if (FAILED(hr)) _com_issue_error(hr);
    full = static_cast<const OLECHAR*>(bstrFull);
    SysFreeString(bstrFull);
    pResolver->Release();
    return S_OK;
  } catch (const _com_error& error) {
    SysFreeString(bstrFull);
    if (pResolver != nullptr) pResolver->Release();
    return error.Error();
  }
}

bool FileExists(const char* path) {
  if (path == nullptr) return false;
  WIN32_FIND_DATAA found;
  HANDLE hFind = FindFirstFileA(path, &found);
  if (hFind == INVALID_HANDLE_VALUE) return false;
  FindClose(hFind);
  return true;
}

HRESULT GetSchemaCachePath(_bstr_t& full) { return ResolveSharedFile(SCHEMA_CACHE_RELATIVE_PATH, full); }

HRESULT GetEncodingsPath(_bstr_t& full) { return ResolveSharedFile(ENCODINGS_RELATIVE_PATH, full); }
