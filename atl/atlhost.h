// Dialogs that may hold ActiveX controls.
//
// A template names an ActiveX control by its CLSID in braces as the item's
// class; the dialog-initialisation resource (RT_DLGINIT, 240) of the same id
// carries a record for each such control. AtlAxDialogBoxA shows the template
// without those items, and CAxDialogImpl creates the controls when the dialog
// gets WM_INITDIALOG. The shell creates each control's object (in process)
// and keeps it for the life of the dialog; it does not load the control's
// persisted data nor give it a window.
#pragma once

#include <vector>

#include "atlwin.h"

// The dialog-initialisation resource type (the SDK leaves it to MFC's headers).
#ifndef RT_DLGINIT
#define RT_DLGINIT MAKEINTRESOURCEA(240)
#endif

namespace ATL {

// Shows template lpTemplateName of hInstance modally; -1 when it is missing
// or malformed.
INT_PTR WINAPI AtlAxDialogBoxA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogProc,
                               LPARAM dwInitParam);

// The ActiveX controls a dialog created.
class CAxControls {
 public:
  CAxControls() = default;
  CAxControls(const CAxControls&) = delete;
  CAxControls& operator=(const CAxControls&) = delete;
  ~CAxControls() { Release(); }

  // Creates the controls that the RT_DLGINIT resource nID of hInstance
  // names; none, and S_OK, when there is no such resource.
  HRESULT Create(HINSTANCE hInstance, UINT nID);
  void Release();
  size_t Count() const { return m_objects.size(); }

 private:
  std::vector<IUnknown*> m_objects;
};

template <class T, class TBase = CWindow>
class CAxDialogImpl : public CDialogImplBaseT<TBase> {
 public:
  virtual DLGPROC GetDialogProc() override { return DialogProc; }

  // The ActiveX controls of template nID; a failure ends the dialog.
  virtual HRESULT CreateActiveXControls(UINT nID) {
    return m_axControls.Create(_pAtlModule->GetResourceInstance(), nID);
  }

  INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow(), LPARAM dwInitParam = 0) {
    this->template BeginModal<T>();
    INT_PTR result = AtlAxDialogBoxA(_pAtlModule->GetResourceInstance(), MAKEINTRESOURCEA(T::IDD), hWndParent,
                                     T::StartDialogProc, dwInitParam);
    this->template EndModal<T>();
    m_axControls.Release();
    return result;
  }

  static INT_PTR CALLBACK StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return CDialogImplBaseT<TBase>::template StartWith<T>(hWnd, uMsg, wParam, lParam);
  }

  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_INITDIALOG) {
      CAxDialogImpl* pThis =
          static_cast<CAxDialogImpl*>(static_cast<CDialogImplBaseT<TBase>*>(::GetPropA(hWnd, kAtlDialogObjectProperty)));
      HRESULT hr = pThis != NULL ? pThis->CreateActiveXControls(T::IDD) : E_UNEXPECTED;
      if (FAILED(hr)) {
        ::DestroyWindow(hWnd);
        ::SetLastError(static_cast<DWORD>(hr) & 0xFFFF);
        return FALSE;
      }
    }
    return CDialogImplBaseT<TBase>::DialogProc(hWnd, uMsg, wParam, lParam);
  }

 protected:
  CAxControls m_axControls;
};

}  // namespace ATL
