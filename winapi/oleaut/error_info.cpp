// Error information: the object that CreateErrorInfo makes, and the one
// IErrorInfo that each thread holds between SetErrorInfo and GetErrorInfo.
#include <oleauto.h>

#include <new>

#include <com_object.h>

namespace {

class ErrorInfo final : public qzwin::ComObject<ErrorInfo, IErrorInfo, ICreateErrorInfo> {
 public:
  ErrorInfo() = default;

  HRESULT STDMETHODCALLTYPE GetGUID(GUID* pGUID) override {
    if (pGUID == nullptr) return E_INVALIDARG;
    *pGUID = guid_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* pBstrSource) override { return CopyOut(source_, pBstrSource); }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* pBstrDescription) override {
    return CopyOut(description_, pBstrDescription);
  }
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* pBstrHelpFile) override { return CopyOut(helpFile_, pBstrHelpFile); }
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* pdwHelpContext) override {
    if (pdwHelpContext == nullptr) return E_INVALIDARG;
    *pdwHelpContext = helpContext_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetGUID(REFGUID rguid) override {
    guid_ = rguid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR szSource) override { return Store(szSource, &source_); }
  HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR szDescription) override {
    return Store(szDescription, &description_);
  }
  HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR szHelpFile) override { return Store(szHelpFile, &helpFile_); }
  HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD dwHelpContext) override {
    helpContext_ = dwHelpContext;
    return S_OK;
  }

 private:
  ~ErrorInfo() override {
    SysFreeString(source_);
    SysFreeString(description_);
    SysFreeString(helpFile_);
  }

  // Hands out a copy; a field never set comes out as a null BSTR.
  static HRESULT CopyOut(BSTR field, BSTR* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (field == nullptr) return S_OK;
    *out = SysAllocStringLen(field, SysStringLen(field));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  static HRESULT Store(const OLECHAR* text, BSTR* field) {
    return SysReAllocString(field, text) ? S_OK : E_OUTOFMEMORY;
  }

  GUID guid_{};
  BSTR source_ = nullptr;
  BSTR description_ = nullptr;
  BSTR helpFile_ = nullptr;
  DWORD helpContext_ = 0;
};

// The thread's error information. The reference it holds is given back
// when the thread ends.
struct ThreadErrorInfo {
  IErrorInfo* info = nullptr;
  ThreadErrorInfo() = default;
  ThreadErrorInfo(const ThreadErrorInfo&) = delete;
  ThreadErrorInfo& operator=(const ThreadErrorInfo&) = delete;
  ~ThreadErrorInfo() {
    if (info != nullptr) info->Release();
  }
};

thread_local ThreadErrorInfo tCurrent;

}  // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo) {
  if (pperrinfo == nullptr) return E_INVALIDARG;
  *pperrinfo = new (std::nothrow) ErrorInfo;
  return *pperrinfo != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo) {
  if (dwReserved != 0) return E_INVALIDARG;
  if (perrinfo != nullptr) perrinfo->AddRef();
  IErrorInfo* previous = tCurrent.info;
  tCurrent.info = perrinfo;
  // Released last: its destructor may itself set error information.
  if (previous != nullptr) previous->Release();
  return S_OK;
}

HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo) {
  if (pperrinfo == nullptr || dwReserved != 0) return E_INVALIDARG;
  *pperrinfo = tCurrent.info;
  tCurrent.info = nullptr;
  return *pperrinfo != nullptr ? S_OK : S_FALSE;
}
