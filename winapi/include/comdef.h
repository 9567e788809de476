// Compiler COM support: _com_error, the error-raising functions and the
// predefined smart pointers, as the Windows SDK's comdef.h offers them.
#pragma once

#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

#include <comutil.h>
#include <comip.h>
#include <qzwin/error_message.h>

// Raises hr with perrinfo (whose reference the exception takes over): calls
// the handler set with _set_com_error_handler, by default throws _com_error.
void STDAPICALLTYPE _com_raise_error(HRESULT hr, IErrorInfo* perrinfo = nullptr);
void STDAPICALLTYPE _set_com_error_handler(void(STDAPICALLTYPE* pHandler)(HRESULT hr, IErrorInfo* perrinfo));

// An HRESULT with, optionally, the error information that came with it.
class _com_error {
 public:
  // Takes over perrinfo's reference unless fAddRef asks for a new one.
  _com_error(HRESULT hr, IErrorInfo* perrinfo = nullptr, bool fAddRef = false) noexcept
      : m_hresult(hr), m_perrinfo(perrinfo), m_pszMsg(nullptr) {
    if (fAddRef && m_perrinfo != nullptr) m_perrinfo->AddRef();
  }
  _com_error(const _com_error& that) noexcept : m_hresult(that.m_hresult), m_perrinfo(that.m_perrinfo), m_pszMsg(nullptr) {
    if (m_perrinfo != nullptr) m_perrinfo->AddRef();
  }
  virtual ~_com_error() noexcept {
    if (m_perrinfo != nullptr) m_perrinfo->Release();
    qzwin::FreeErrorMessage(m_pszMsg);
  }
  _com_error& operator=(const _com_error& that) noexcept {
    if (this != &that) {
      if (that.m_perrinfo != nullptr) that.m_perrinfo->AddRef();
      if (m_perrinfo != nullptr) m_perrinfo->Release();
      qzwin::FreeErrorMessage(m_pszMsg);
      m_hresult = that.m_hresult;
      m_perrinfo = that.m_perrinfo;
      m_pszMsg = nullptr;
    }
    return *this;
  }

  HRESULT Error() const noexcept { return m_hresult; }
  WORD WCode() const noexcept { return HRESULTToWCode(m_hresult); }
  // The error information with a new reference for the caller, or null.
  IErrorInfo* ErrorInfo() const noexcept {
    if (m_perrinfo != nullptr) m_perrinfo->AddRef();
    return m_perrinfo;
  }

  // The fields of the error information; empty without it.
  _bstr_t Description() const { return Field(&IErrorInfo::GetDescription); }
  _bstr_t Source() const { return Field(&IErrorInfo::GetSource); }
  _bstr_t HelpFile() const { return Field(&IErrorInfo::GetHelpFile); }
  DWORD HelpContext() const noexcept {
    DWORD context = 0;
    if (m_perrinfo != nullptr) m_perrinfo->GetHelpContext(&context);
    return context;
  }
  ::GUID GUID() const noexcept {
    ::GUID guid{};
    if (m_perrinfo != nullptr) m_perrinfo->GetGUID(&guid);
    return guid;
  }

  // The system's text for the HRESULT, made on first use.
  const TCHAR* ErrorMessage() const noexcept {
    if (m_pszMsg == nullptr) m_pszMsg = qzwin::NewErrorMessage(m_hresult);
    return m_pszMsg;
  }

  static constexpr HRESULT WCODE_HRESULT_FIRST = MAKE_HRESULT(1, FACILITY_ITF, 0x200);
  static constexpr HRESULT WCODE_HRESULT_LAST = MAKE_HRESULT(1, FACILITY_ITF + 1, 0) - 1;
  static HRESULT WCodeToHRESULT(WORD wCode) noexcept {
    return wCode >= 0xFE00 ? WCODE_HRESULT_LAST : WCODE_HRESULT_FIRST + wCode;
  }
  static WORD HRESULTToWCode(HRESULT hr) noexcept {
    return (hr >= WCODE_HRESULT_FIRST && hr <= WCODE_HRESULT_LAST) ? static_cast<WORD>(hr - WCODE_HRESULT_FIRST) : 0;
  }

 protected:
  HRESULT m_hresult;
  IErrorInfo* m_perrinfo;
  mutable TCHAR* m_pszMsg;

 private:
  _bstr_t Field(HRESULT (STDMETHODCALLTYPE IErrorInfo::*get)(BSTR*)) const {
    BSTR text = nullptr;
    if (m_perrinfo != nullptr && FAILED((m_perrinfo->*get)(&text))) text = nullptr;
    return _bstr_t(text, false);
  }
};

// The smart pointers that the SDK predefines, for the interfaces declared here.
_COM_SMARTPTR_TYPEDEF(IUnknown, __uuidof(IUnknown));
_COM_SMARTPTR_TYPEDEF(IClassFactory, __uuidof(IClassFactory));
_COM_SMARTPTR_TYPEDEF(IDispatch, __uuidof(IDispatch));
_COM_SMARTPTR_TYPEDEF(ITypeInfo, __uuidof(ITypeInfo));
_COM_SMARTPTR_TYPEDEF(ITypeLib, __uuidof(ITypeLib));
_COM_SMARTPTR_TYPEDEF(ITypeComp, __uuidof(ITypeComp));
_COM_SMARTPTR_TYPEDEF(IErrorInfo, __uuidof(IErrorInfo));
_COM_SMARTPTR_TYPEDEF(ICreateErrorInfo, __uuidof(ICreateErrorInfo));
_COM_SMARTPTR_TYPEDEF(ISupportErrorInfo, __uuidof(ISupportErrorInfo));
_COM_SMARTPTR_TYPEDEF(ISequentialStream, __uuidof(ISequentialStream));
_COM_SMARTPTR_TYPEDEF(IStream, __uuidof(IStream));
_COM_SMARTPTR_TYPEDEF(IPersist, __uuidof(IPersist));
_COM_SMARTPTR_TYPEDEF(IPersistStream, __uuidof(IPersistStream));
_COM_SMARTPTR_TYPEDEF(IConnectionPoint, __uuidof(IConnectionPoint));
_COM_SMARTPTR_TYPEDEF(IConnectionPointContainer, __uuidof(IConnectionPointContainer));
_COM_SMARTPTR_TYPEDEF(IEnumConnectionPoints, __uuidof(IEnumConnectionPoints));
_COM_SMARTPTR_TYPEDEF(IEnumConnections, __uuidof(IEnumConnections));
_COM_SMARTPTR_TYPEDEF(IProvideClassInfo, __uuidof(IProvideClassInfo));
