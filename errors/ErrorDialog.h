// The modal dialog "Error in schema cache", which Schemas shows before it
// reports that it could not hand out the schema collection. It names the
// cache entry that the collection refused last: its file name and its URN.
#pragma once

#include <atlbase.h>
#include <atlhost.h>
#include <atlwin.h>
#include <comdef.h>

#include "resources/resource.h"

class CError : public CAxDialogImpl<CError, CWindow> {
 public:
  enum { IDD = IDD_ERROR };

  // The texts to show, in the system code page; null shows an empty field.
  CError(const char* fileName, const char* urn);

  BEGIN_MSG_MAP(CError)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    COMMAND_ID_HANDLER(IDOK, OnOK)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnOK(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
  LRESULT OnCancel(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);

 private:
  _bstr_t m_bstrFileName;
  _bstr_t m_bstrUrn;
};
