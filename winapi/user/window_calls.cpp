// The window functions over the stand-in's windows: texts, controls by id,
// focus, window values and properties.
#include <string>

#include <winuser.h>

#include "window_table.h"

using namespace qzwin::user;

namespace {

HWND FindControl(HWND dialog, int id) {
  std::vector<HWND> children;
  WithWindow(dialog, [&](Window& window) { children = window.children; });
  for (HWND child : children) {
    int childId = 0;
    WithWindow(child, [&](Window& control) { childId = control.id; });
    if (childId == id) return child;
  }
  return nullptr;
}

}  // namespace

EXTERN_C HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) { return FindControl(hDlg, nIDDlgItem); }

EXTERN_C int WINAPI GetDlgCtrlID(HWND hWnd) {
  int id = 0;
  WithWindow(hWnd, [&](Window& window) { id = window.id; });
  return id;
}

EXTERN_C BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  return WithWindow(hWnd, [&](Window& window) { window.text = lpString != nullptr ? lpString : ""; }) ? TRUE : FALSE;
}

EXTERN_C int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  int copied = 0;
  WithWindow(hWnd, [&](Window& window) { copied = CopyText(window.text, lpString, nMaxCount); });
  return copied;
}

EXTERN_C int WINAPI GetWindowTextLengthA(HWND hWnd) {
  int length = 0;
  WithWindow(hWnd, [&](Window& window) { length = static_cast<int>(window.text.size()); });
  return length;
}

EXTERN_C BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  HWND control = FindControl(hDlg, nIDDlgItem);
  return control != nullptr ? SetWindowTextA(control, lpString) : FALSE;
}

EXTERN_C UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  HWND control = FindControl(hDlg, nIDDlgItem);
  if (control == nullptr) {
    CopyText(std::string(), lpString, cchMax);
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(control, lpString, cchMax));
}

EXTERN_C BOOL WINAPI IsWindow(HWND hWnd) { return WithWindow(hWnd, [](Window&) {}) ? TRUE : FALSE; }

EXTERN_C HWND WINAPI GetParent(HWND hWnd) {
  HWND parent = nullptr;
  WithWindow(hWnd, [&](Window& window) { parent = window.isDialog ? window.owner : window.parent; });
  return parent;
}

// A modal dialog that is destroyed ends as one that could not be made.
EXTERN_C BOOL WINAPI DestroyWindow(HWND hWnd) {
  return WithWindow(hWnd, [](Window& window) {
           if (!window.isDialog) return;
           window.ended = true;
           window.result = -1;
         })
             ? TRUE
             : FALSE;
}

EXTERN_C HWND WINAPI SetFocus(HWND hWnd) {
  HWND dialog = nullptr;
  WithWindow(hWnd, [&](Window& window) { dialog = window.isDialog ? hWnd : window.parent; });
  HWND previous = nullptr;
  WithWindow(dialog, [&](Window& window) {
    previous = window.focus;
    window.focus = hWnd;
  });
  return previous;
}

EXTERN_C HWND WINAPI GetFocus(void) {
  if (ActiveDialogs().empty()) return nullptr;
  HWND focus = nullptr;
  WithWindow(ActiveDialogs().back(), [&](Window& window) { focus = window.focus; });
  return focus;
}

namespace {

// The value that index names, or null when the window has none.
LONG_PTR* WindowValue(Window& window, int index, LONG_PTR* scratch) {
  if (window.isDialog && index == static_cast<int>(DWLP_MSGRESULT)) return &window.msgResult;
  if (window.isDialog && index == static_cast<int>(DWLP_USER)) return &window.user;
  if (window.isDialog && index == static_cast<int>(DWLP_DLGPROC)) {
    *scratch = reinterpret_cast<LONG_PTR>(window.proc);
    return scratch;
  }
  if (index == GWLP_ID) {
    *scratch = window.id;
    return scratch;
  }
  if (index == GWL_STYLE) {
    *scratch = static_cast<LONG_PTR>(window.style);
    return scratch;
  }
  if (index == GWL_EXSTYLE) {
    *scratch = static_cast<LONG_PTR>(window.exStyle);
    return scratch;
  }
  return nullptr;
}

}  // namespace

EXTERN_C LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
  LONG_PTR value = 0;
  WithWindow(hWnd, [&](Window& window) {
    LONG_PTR scratch = 0;
    LONG_PTR* place = WindowValue(window, nIndex, &scratch);
    if (place != nullptr) value = *place;
  });
  return value;
}

EXTERN_C LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  LONG_PTR previous = 0;
  WithWindow(hWnd, [&](Window& window) {
    LONG_PTR scratch = 0;
    LONG_PTR* place = WindowValue(window, nIndex, &scratch);
    if (place == nullptr) return;
    previous = *place;
    if (place != &scratch) {
      *place = dwNewLong;
    } else if (window.isDialog && nIndex == static_cast<int>(DWLP_DLGPROC)) {
      window.proc = reinterpret_cast<DLGPROC>(dwNewLong);
    } else if (nIndex == GWLP_ID) {
      window.id = static_cast<int>(dwNewLong);
    } else if (nIndex == GWL_STYLE) {
      window.style = static_cast<DWORD>(dwNewLong);
    } else if (nIndex == GWL_EXSTYLE) {
      window.exStyle = static_cast<DWORD>(dwNewLong);
    }
  });
  return previous;
}

EXTERN_C BOOL WINAPI SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
  if (lpString == nullptr) return FALSE;
  return WithWindow(hWnd, [&](Window& window) { window.props[lpString] = hData; }) ? TRUE : FALSE;
}

EXTERN_C HANDLE WINAPI GetPropA(HWND hWnd, LPCSTR lpString) {
  HANDLE data = nullptr;
  if (lpString == nullptr) return nullptr;
  WithWindow(hWnd, [&](Window& window) {
    auto found = window.props.find(lpString);
    if (found != window.props.end()) data = found->second;
  });
  return data;
}

EXTERN_C HANDLE WINAPI RemovePropA(HWND hWnd, LPCSTR lpString) {
  HANDLE data = nullptr;
  if (lpString == nullptr) return nullptr;
  WithWindow(hWnd, [&](Window& window) {
    auto found = window.props.find(lpString);
    if (found == window.props.end()) return;
    data = found->second;
    window.props.erase(found);
  });
  return data;
}
