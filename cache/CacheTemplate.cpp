// Writing a template resource over the schema cache file.
#include <stdio.h>

#include "cache/DefaultCache.h"
#include "cache/SharedFiles.h"

namespace {

const char kWriteFailedText[] = "Failed to register\n Tavel platform system xml schemas";
const char kWriteFailedCaption[] = "Register failed";

}  // namespace

HRESULT WriteCacheTemplate(HMODULE resources, UINT resourceId) {
  HRSRC hResource = FindResourceA(resources, MAKEINTRESOURCEA(resourceId), RT_HTML);
  HGLOBAL hData = hResource != nullptr ? LoadResource(resources, hResource) : nullptr;
  const BYTE* pBytes = hData != nullptr ? static_cast<const BYTE*>(LockResource(hData)) : nullptr;
  if (pBytes == nullptr) return E_FAIL;
  const DWORD dwSize = SizeofResource(resources, hResource);

  // A path that cannot be resolved is a file that cannot be opened: the same
  // message box tells the person that the cache could not be written.
  _bstr_t bstrPath;
  GetSchemaCachePath(bstrPath);
  const char* pszPath = bstrPath.length() != 0 ? static_cast<const char*>(bstrPath) : nullptr;

  // Text mode: where the platform translates line ends, each LF of the
  // template reaches the file as CR LF.
  FILE* pFile = pszPath != nullptr ? fopen(pszPath, "w+") : nullptr;
  if (pFile == nullptr) {
    MessageBoxA(nullptr, kWriteFailedText, kWriteFailedCaption, MB_OK);
    return E_FAIL;
  }
  for (DWORD i = 0; i < dwSize; ++i) fprintf(pFile, "%c", pBytes[i]);
  fclose(pFile);
  return S_OK;
}
