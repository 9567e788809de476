#include "errors/ErrorDialog.h"

namespace {

// SetDlgItemTextA takes "" where the record holds nothing.
const char* TextOrEmpty(const _bstr_t& text) {
  const char* narrow = text;
  return narrow != nullptr ? narrow : "";
}

}  // namespace

CError::CError(const char* fileName, const char* urn) : m_bstrFileName(fileName), m_bstrUrn(urn) {
  // The narrow forms are made here, where running out of memory still
  // reaches the caller; the dialog procedure must not throw.
  static_cast<void>(static_cast<const char*>(m_bstrFileName));
  static_cast<void>(static_cast<const char*>(m_bstrUrn));
}

LRESULT CError::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  ::SetDlgItemTextA(m_hWnd, IDC_FILENAME, TextOrEmpty(m_bstrFileName));
  ::SetDlgItemTextA(m_hWnd, IDC_URN, TextOrEmpty(m_bstrUrn));
  return TRUE;  // the focus goes to the first tab stop, the OK button
}

LRESULT CError::OnOK(WORD, WORD, HWND, BOOL&) {
  EndDialog(IDOK);
  return 0;
}

LRESULT CError::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(IDCANCEL);
  return 0;
}
