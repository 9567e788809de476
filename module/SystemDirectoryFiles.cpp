// Writing a built-in document into the Windows system directory, as
// registration does for the help page and the two schemas.
#include <stdio.h>
#include <string.h>

#include "module/QZModule.h"

namespace {

// The system directory, and the full path formed from it and a file name.
constexpr UINT kSystemDirectorySize = 260;
constexpr size_t kFilePathSize = 260;

const char kWriteFailedFormat[] = "Failed to register the file : %s";

// Whether "<directory>\<name>" and its terminator fit in the path buffer;
// wsprintfA itself would write up to 1024 bytes.
bool FitsInPath(const char* pszDirectory, const char* pszFileName) {
  return strlen(pszDirectory) + 1 + strlen(pszFileName) < kFilePathSize;
}

}  // namespace

HRESULT CQZModule::WriteResourceToSystemDirectory(UINT nResourceId, LPCSTR pszFileName) {
  HMODULE hModule = GetResourceInstance();
  HRSRC hResource = FindResourceA(hModule, MAKEINTRESOURCEA(nResourceId), RT_HTML);
  HGLOBAL hData = hResource != nullptr ? LoadResource(hModule, hResource) : nullptr;
  const BYTE* pBytes = hData != nullptr ? static_cast<const BYTE*>(LockResource(hData)) : nullptr;
  // A module without the document has nothing to write; an older copy of
  // the file is better kept than emptied.
  if (pBytes == nullptr || pszFileName == nullptr) return E_FAIL;
  const DWORD dwSize = SizeofResource(hModule, hResource);

  char szSystemDirectory[kSystemDirectorySize] = "";
  const UINT nLength = GetSystemDirectoryA(szSystemDirectory, kSystemDirectorySize);
  // A path that does not fit is never cut: a cut path would name another file.
  if (nLength == 0 || nLength >= kSystemDirectorySize || !FitsInPath(szSystemDirectory, pszFileName)) {
    printf(kWriteFailedFormat, pszFileName);
    return E_FAIL;
  }
  char szPath[kFilePathSize];
  wsprintfA(szPath, "%s\\%s", szSystemDirectory, pszFileName);

  // Text mode: where the platform translates line ends, each LF of the
  // document reaches the file as CR LF.
  FILE* pFile = fopen(szPath, "w+");
  if (pFile == nullptr) {
    printf(kWriteFailedFormat, szPath);
    return E_FAIL;
  }
  for (DWORD i = 0; i < dwSize; ++i) fprintf(pFile, "%c", pBytes[i]);
  fclose(pFile);
  return S_OK;
}
