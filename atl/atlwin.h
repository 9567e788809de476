// Windows on the shell: CWindow, message maps, and modal dialogs.
//
// A dialog object finds its window the way ATL's does: DoModal leaves the
// object with the module's window-creation data, and the first message the
// new dialog receives (StartDialogProc) takes it back. Instead of a code
// thunk, the object is then kept as a window property of its dialog.
#pragma once

#include "atlbase.h"

namespace ATL {

class CWindow {
 public:
  HWND m_hWnd;

  CWindow(HWND hWnd = NULL) : m_hWnd(hWnd) {}
  operator HWND() const { return m_hWnd; }
  void Attach(HWND hWndNew) { m_hWnd = hWndNew; }
  HWND Detach() {
    HWND hWnd = m_hWnd;
    m_hWnd = NULL;
    return hWnd;
  }

  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
  BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  HWND SetFocus() { return ::SetFocus(m_hWnd); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL SetWindowText(LPCSTR lpszString) { return ::SetWindowTextA(m_hWnd, lpszString); }
  int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
  }
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
  BOOL SetDlgItemText(int nID, LPCSTR lpszString) { return ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
  UINT GetDlgItemText(int nID, LPSTR lpStr, int nMaxCount) const {
    return ::GetDlgItemTextA(m_hWnd, nID, lpStr, nMaxCount);
  }
  LONG_PTR GetWindowLongPtr(int nIndex) const { return ::GetWindowLongPtrA(m_hWnd, nIndex); }
  LONG_PTR SetWindowLongPtr(int nIndex, LONG_PTR dwNewLong) { return ::SetWindowLongPtrA(m_hWnd, nIndex, dwNewLong); }
};

class CMessageMap {
 public:
  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                    DWORD dwMsgMapID) = 0;
};

// The window property that holds a dialog's object.
constexpr char kAtlDialogObjectProperty[] = "ATL:DialogObject";

template <class TBase = CWindow>
class CWindowImplRoot : public TBase, public CMessageMap {
 public:
  virtual ~CWindowImplRoot() {}

  _AtlCreateWndData m_createData = {NULL, 0, NULL};
};

template <class TBase = CWindow>
class CDialogImplBaseT : public CWindowImplRoot<TBase> {
 public:
  virtual DLGPROC GetDialogProc() { return DialogProc; }
  virtual void OnFinalMessage(HWND) {}

  BOOL EndDialog(int nRetCode) { return ::EndDialog(this->m_hWnd, nRetCode); }

  // Every message after the first: through the message map. A handled
  // message's result goes to DWLP_MSGRESULT, except WM_INITDIALOG's, which
  // is the procedure's own result.
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    CDialogImplBaseT* pThis = static_cast<CDialogImplBaseT*>(::GetPropA(hWnd, kAtlDialogObjectProperty));
    if (pThis == NULL) return FALSE;
    LRESULT lRes = 0;
    if (pThis->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lRes, 0)) {
      if (uMsg == WM_INITDIALOG) return static_cast<INT_PTR>(lRes);
      ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lRes);
      return TRUE;
    }
    if (uMsg == WM_NCDESTROY) {
      ::RemovePropA(hWnd, kAtlDialogObjectProperty);
      pThis->m_hWnd = NULL;
      pThis->OnFinalMessage(hWnd);
    }
    return FALSE;
  }

 protected:
  // What reaches the module is instantiated for each dialog class T, so that
  // it stays inside the module that defines T (see atldef.h).

  // The first message: the object that DoModal left with the module takes
  // the window, and the message goes on to the object's dialog procedure.
  template <class T>
  static INT_PTR StartWith(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    CDialogImplBaseT* pThis = static_cast<CDialogImplBaseT*>(_pAtlModule->ExtractCreateWndData());
    if (pThis == NULL) return FALSE;
    pThis->m_hWnd = hWnd;
    ::SetPropA(hWnd, kAtlDialogObjectProperty, static_cast<HANDLE>(pThis));
    DLGPROC proc = pThis->GetDialogProc();
    ::SetWindowLongPtrA(hWnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    return proc(hWnd, uMsg, wParam, lParam);
  }

  // Leaves the object with the module for the dialog about to be made; a
  // dialog that was never made must not leave it there.
  template <class T>
  void BeginModal() {
    _pAtlModule->AddCreateWndData(&this->m_createData, static_cast<CDialogImplBaseT*>(this));
    m_bModal = TRUE;
  }
  template <class T>
  void EndModal() { _pAtlModule->RemoveCreateWndData(&this->m_createData); }

 public:
  BOOL m_bModal = FALSE;
};

// T names its template with "enum { IDD = <id> };".
template <class T, class TBase = CWindow>
class CDialogImpl : public CDialogImplBaseT<TBase> {
 public:
  // Template T::IDD of the module's resource instance.
  INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow(), LPARAM dwInitParam = 0) {
    this->template BeginModal<T>();
    INT_PTR result = ::DialogBoxParamA(_pAtlModule->GetResourceInstance(), MAKEINTRESOURCEA(T::IDD), hWndParent,
                                       T::StartDialogProc, dwInitParam);
    this->template EndModal<T>();
    return result;
  }
  static INT_PTR CALLBACK StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return CDialogImplBaseT<TBase>::template StartWith<T>(hWnd, uMsg, wParam, lParam);
  }
};

}  // namespace ATL

// ---- Message maps -------------------------------------------------------------

#define BEGIN_MSG_MAP(theClass)                                                                              \
 public:                                                                                                     \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,            \
                            DWORD dwMsgMapID = 0) {                                                          \
    BOOL bHandled = TRUE;                                                                                    \
    (void)hWnd;                                                                                              \
    (void)uMsg;                                                                                              \
    (void)wParam;                                                                                            \
    (void)lParam;                                                                                            \
    (void)lResult;                                                                                           \
    (void)bHandled;                                                                                          \
    switch (dwMsgMapID) {                                                                                    \
      case 0:
#define MESSAGE_HANDLER(msg, func)                   \
  if (uMsg == msg) {                                 \
    bHandled = TRUE;                                 \
    lResult = func(uMsg, wParam, lParam, bHandled);  \
    if (bHandled) return TRUE;                       \
  }
#define COMMAND_ID_HANDLER(id, func)                                                              \
  if (uMsg == WM_COMMAND && (id) == LOWORD(wParam)) {                                             \
    bHandled = TRUE;                                                                              \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);      \
    if (bHandled) return TRUE;                                                                    \
  }
#define END_MSG_MAP() \
  break;              \
  default:            \
    break;            \
    }                 \
    return FALSE;     \
    }
