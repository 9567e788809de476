// SendMessageA for dialogs and controls, and the default dialog processing.
#include "dialog_messages.h"

#include <winuser.h>

#include "window_table.h"

namespace qzwin::user {
namespace {

LRESULT TextMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
  *handled = true;
  switch (message) {
    case WM_SETTEXT: return SetWindowTextA(window, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT: return GetWindowTextA(window, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH: return GetWindowTextLengthA(window);
    default: *handled = false; return 0;
  }
}

LRESULT DefaultDialogProcessing(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  LRESULT result = TextMessage(dialog, message, wParam, lParam, &handled);
  if (handled) return result;
  if (message == WM_CLOSE) {
    SendDialogMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
  }
  return 0;
}

}  // namespace

LRESULT SendDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DLGPROC proc = nullptr;
  if (!WithWindow(dialog, [&](Window& window) { proc = window.proc; })) return 0;
  INT_PTR handled = proc != nullptr ? proc(dialog, message, wParam, lParam) : FALSE;
  if (message == WM_INITDIALOG) return handled;
  if (handled == FALSE) return DefaultDialogProcessing(dialog, message, wParam, lParam);
  LRESULT result = 0;
  WithWindow(dialog, [&](Window& window) { result = window.msgResult; });
  return result;
}

}  // namespace qzwin::user

using namespace qzwin::user;

EXTERN_C LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  bool isDialog = false;
  HWND parent = nullptr;
  int id = 0;
  if (!WithWindow(hWnd, [&](Window& window) {
        isDialog = window.isDialog;
        parent = window.parent;
        id = window.id;
      })) {
    return 0;
  }
  if (isDialog) return SendDialogMessage(hWnd, Msg, wParam, lParam);
  if (Msg == BM_CLICK) {
    return SendDialogMessage(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hWnd));
  }
  bool handled = false;
  return TextMessage(hWnd, Msg, wParam, lParam, &handled);
}
