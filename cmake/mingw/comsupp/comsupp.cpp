// The string conversions of the compiler COM support library, which
// _bstr_t and _variant_t call: narrow text in the system code page to a new
// BSTR and back. The SDK ships them in comsupp(w).lib; mingw-w64 declares
// them in comutil.h and ships no library.
#include <comdef.h>

#include <new>

namespace _com_util {

BSTR WINAPI ConvertStringToBSTR(const char* pSrc) {
  if (pSrc == nullptr) return nullptr;
  // The terminator is converted too, so the count includes it.
  const int wide = MultiByteToWideChar(CP_ACP, 0, pSrc, -1, nullptr, 0);
  if (wide <= 0) _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(wide - 1));
  if (result == nullptr) _com_issue_error(E_OUTOFMEMORY);
  if (MultiByteToWideChar(CP_ACP, 0, pSrc, -1, result, wide) != wide) {
    const DWORD error = GetLastError();
    SysFreeString(result);
    _com_issue_error(HRESULT_FROM_WIN32(error));
  }
  return result;
}

// A new[] array that the caller deletes; the BSTR's length counts, so text
// after an embedded null survives.
char* WINAPI ConvertBSTRToString(BSTR pSrc) {
  if (pSrc == nullptr) return nullptr;
  const int wide = static_cast<int>(SysStringLen(pSrc)) + 1;
  const int narrow = WideCharToMultiByte(CP_ACP, 0, pSrc, wide, nullptr, 0, nullptr, nullptr);
  if (narrow <= 0) _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
  char* result = new (std::nothrow) char[narrow];
  if (result == nullptr) _com_issue_error(E_OUTOFMEMORY);
  if (WideCharToMultiByte(CP_ACP, 0, pSrc, wide, result, narrow, nullptr, nullptr) != narrow) {
    const DWORD error = GetLastError();
    delete[] result;
    _com_issue_error(HRESULT_FROM_WIN32(error));
  }
  return result;
}

}  // namespace _com_util
