// The out-of-line part of the compiler COM support: raising errors, the
// system code page conversions of _bstr_t, and the texts of ErrorMessage.
#include <comdef.h>
#include <winbase.h>

#include <qzwin/format.h>

#include <cstring>

namespace {

void STDAPICALLTYPE ThrowComError(HRESULT hr, IErrorInfo* perrinfo) { throw _com_error(hr, perrinfo); }

// One handler for the process, as on Windows.
std::atomic<void(STDAPICALLTYPE*)(HRESULT, IErrorInfo*)> gHandler{&ThrowComError};

struct KnownMessage {
  HRESULT hr;
  const char* text;
};

// The system's texts for the codes this platform raises most.
constexpr KnownMessage kKnownMessages[] = {
    {S_OK, "The operation completed successfully."},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_ABORT, "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    {E_ACCESSDENIED, "Access is denied."},
    {E_HANDLE, "The handle is invalid."},
    {E_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {E_INVALIDARG, "The parameter is incorrect."},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    {CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {CO_E_NOTINITIALIZED, "CoInitialize has not been called."},
    {CO_E_CLASSSTRING, "Invalid class string"},
    {DISP_E_TYPEMISMATCH, "Type mismatch."},
    {DISP_E_OVERFLOW, "Out of present range."},
    {DISP_E_BADVARTYPE, "Bad variable type."},
    {DISP_E_BADINDEX, "Invalid index."},
    {DISP_E_UNKNOWNNAME, "Unknown name."},
    {DISP_E_MEMBERNOTFOUND, "Member not found."},
    {DISP_E_EXCEPTION, "Exception occurred."},
    {TYPE_E_LIBNOTREGISTERED, "Library not registered."},
    {TYPE_E_REGISTRYACCESS, "Error accessing the OLE registry."},
    {TYPE_E_CANTLOADLIBRARY, "Error loading type library/DLL."},
    {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), "The system cannot find the file specified."},
    {HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), "The system cannot find the path specified."},
    {HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), "The specified module could not be found."},
    {HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), "The specified procedure could not be found."},
    {HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT), "%1 is not a valid Win32 application."},
    {HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION),
     "No mapping for the Unicode character exists in the target multi-byte code page."},
};

// Room for "Unknown error 0x80004005" and "IDispatch error #65535".
constexpr size_t kFallbackMessageSize = 32;

char* CopyText(const char* text) {
  const size_t size = std::strlen(text) + 1;
  char* copy = new (std::nothrow) char[size];
  if (copy != nullptr) std::memcpy(copy, text, size);
  return copy;
}

}  // namespace

void STDAPICALLTYPE _com_raise_error(HRESULT hr, IErrorInfo* perrinfo) { gHandler.load()(hr, perrinfo); }

void STDAPICALLTYPE _set_com_error_handler(void(STDAPICALLTYPE* pHandler)(HRESULT hr, IErrorInfo* perrinfo)) {
  gHandler.store(pHandler != nullptr ? pHandler : &ThrowComError);
}

void STDAPICALLTYPE _com_issue_error(HRESULT hr) { _com_raise_error(hr, nullptr); }

// Takes the thread's error information along when the object says it
// reports errors through it for riid.
void STDAPICALLTYPE _com_issue_errorex(HRESULT hr, IUnknown* punk, REFIID riid) {
  IErrorInfo* perrinfo = nullptr;
  ISupportErrorInfo* support = nullptr;
  if (punk != nullptr &&
      SUCCEEDED(punk->QueryInterface(__uuidof(ISupportErrorInfo), reinterpret_cast<void**>(&support)))) {
    const HRESULT supported = support->InterfaceSupportsErrorInfo(riid);
    support->Release();
    if (supported == S_OK && GetErrorInfo(0, &perrinfo) != S_OK) perrinfo = nullptr;
  }
  _com_raise_error(hr, perrinfo);
}

namespace _com_util {

BSTR STDAPICALLTYPE ConvertStringToBSTR(const char* pSrc) {
  if (pSrc == nullptr) return nullptr;
  const int length = MultiByteToWideChar(CP_ACP, 0, pSrc, -1, nullptr, 0);
  if (length <= 0) {
    _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
    return nullptr;
  }
  // length counts the terminator, which SysAllocStringLen adds itself.
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
  if (result == nullptr) {
    _com_issue_error(E_OUTOFMEMORY);
    return nullptr;
  }
  if (MultiByteToWideChar(CP_ACP, 0, pSrc, -1, result, length) <= 0) {
    const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    SysFreeString(result);
    _com_issue_error(hr);
    return nullptr;
  }
  return result;
}

// The whole BSTR is converted, embedded NULs included, and a zero byte
// appended.
char* STDAPICALLTYPE ConvertBSTRToString(BSTR pSrc) {
  if (pSrc == nullptr) return nullptr;
  const int units = static_cast<int>(SysStringLen(pSrc));
  int size = 0;
  if (units > 0) {
    size = WideCharToMultiByte(CP_ACP, 0, pSrc, units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
      _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
      return nullptr;
    }
  }
  char* result = new (std::nothrow) char[static_cast<size_t>(size) + 1];
  if (result == nullptr) {
    _com_issue_error(E_OUTOFMEMORY);
    return nullptr;
  }
  if (size > 0 && WideCharToMultiByte(CP_ACP, 0, pSrc, units, result, size, nullptr, nullptr) != size) {
    const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    delete[] result;
    _com_issue_error(hr);
    return nullptr;
  }
  result[size] = '\0';
  return result;
}

}  // namespace _com_util

namespace qzwin {

TCHAR* NewErrorMessage(HRESULT hr) {
  for (const KnownMessage& known : kKnownMessages) {
    if (known.hr == hr) return CopyText(known.text);
  }
  char text[kFallbackMessageSize];
  const WORD wCode = _com_error::HRESULTToWCode(hr);
  if (wCode != 0) {
    FormatBounded(text, sizeof text, "IDispatch error #%u", static_cast<unsigned>(wCode));
  } else {
    FormatBounded(text, sizeof text, "Unknown error 0x%08X", static_cast<unsigned>(hr));
  }
  return CopyText(text);
}

void FreeErrorMessage(TCHAR* message) { delete[] message; }

}  // namespace qzwin
