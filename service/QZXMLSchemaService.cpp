#include "service/QZXMLSchemaService.h"

#include "cache/SchemaRegistration.h"
#include "encodings/SelectedEncoding.h"
#include "errors/ErrorDialog.h"
#include "module/QZModule.h"

namespace {

// The narrow form of a failed-entry field; null when it is empty.
const char* NarrowOrNull(const _bstr_t& field) { return field.length() == 0 ? nullptr : static_cast<const char*>(field); }

// Tells the person at the screen which cache entry failed. The dialog's own
// result does not matter; a failure to show it changes nothing for the caller.
void ShowSchemaCacheError() {
  try {
    const _bstr_t urn = _Module.GetFailedUrn();
    const _bstr_t fileName = _Module.GetFailedFileName();
    CError dialog(NarrowOrNull(fileName), NarrowOrNull(urn));
    dialog.DoModal(GetActiveWindow(), 0);
  } catch (const _com_error&) {
  }
}

}  // namespace

CQZXMLSchemaService::CQZXMLSchemaService() : m_dwRegister(0) {}

HRESULT CQZXMLSchemaService::FinalConstruct() {
  const HRESULT hr = CoRegisterClassObject(CLSID_QZXMLSchemaService, GetUnknown(), CLSCTX_INPROC_SERVER,
                                           REGCLS_MULTI_SEPARATE, &m_dwRegister);
  // The next creation through the library's class factory tries again.
  _Module.InitSchemaCache();
  return hr;
}

void CQZXMLSchemaService::FinalRelease() {
  // When the apartment has already dropped the registration this is refused,
  // harmlessly.
  if (m_dwRegister != 0) CoRevokeClassObject(m_dwRegister);
}

STDMETHODIMP CQZXMLSchemaService::get_Schemas(IXMLDOMSchemaCollection** ppVal) {
  const HRESULT hr = _Module.GetSchemas(ppVal);
  if (SUCCEEDED(hr)) return hr;
  ShowSchemaCacheError();
  return hr;
}

STDMETHODIMP CQZXMLSchemaService::UseSelectedEncoding(IXMLDOMDocument2* pDoc) { return ApplySelectedEncoding(pDoc); }

STDMETHODIMP CQZXMLSchemaService::GetSelectedEncodingName(BSTR* pEncoding) {
  return ReadSelectedEncodingName(m_bstrCachedDeclaration, pEncoding);
}

STDMETHODIMP CQZXMLSchemaService::RegisterSchema(BSTR strSchemaFileName, BSTR* strErrroDescription) {
  return RegisterSchemaFile(strSchemaFileName, strErrroDescription);
}

STDMETHODIMP CQZXMLSchemaService::UnRegisterSchema(BSTR strSchemaFileName, BSTR* strErrroDescription) {
  return UnRegisterSchemaFile(strSchemaFileName, strErrroDescription);
}

STDMETHODIMP CQZXMLSchemaService::CreateInstance(IUnknown*, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_INVALIDARG;
  if (riid == IID_IQZXMLSchemaService || riid == IID_IQZXMLSchemaService2) return QueryInterface(riid, ppv);
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP CQZXMLSchemaService::LockServer(BOOL) { return E_NOTIMPL; }
