// Message boxes and the active window, answered by the current UI host.
#include <qzwin/uihost.h>
#include <winuser.h>

#include "window_table.h"

EXTERN_C int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  qzwin::MessageBoxRequest request;
  request.owner = hWnd;
  request.text = lpText != nullptr ? lpText : "";
  request.caption = lpCaption != nullptr ? lpCaption : "Error";
  request.type = uType;
  return qzwin::CurrentUiHost().ShowMessageBox(request);
}

EXTERN_C HWND WINAPI GetActiveWindow(void) {
  const std::vector<HWND>& dialogs = qzwin::user::ActiveDialogs();
  return !dialogs.empty() ? dialogs.back() : qzwin::CurrentUiHost().ActiveWindow();
}
