// The windows of the stand-in: modal dialogs and their controls. A handle
// is a number that is never reused within a process, so a stale handle is
// simply not a window.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <windef.h>
#include <winuser.h>

namespace qzwin::user {

struct Window {
  HWND handle = nullptr;
  HWND parent = nullptr;  // a control's dialog
  bool isDialog = false;
  std::string className;
  DWORD style = 0;
  DWORD exStyle = 0;
  int id = 0;
  std::string text;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::map<std::string, HANDLE> props;

  // Dialogs only.
  std::vector<HWND> children;  // template order
  HWND owner = nullptr;
  HWND focus = nullptr;
  DLGPROC proc = nullptr;
  LONG_PTR msgResult = 0;
  LONG_PTR user = 0;
  bool ended = false;
  INT_PTR result = 0;
};

// Gives the window a new handle and keeps it until RemoveWindow.
HWND AddWindow(std::unique_ptr<Window> window);
void RemoveWindow(HWND handle);

// Runs `use` on the window under the table's lock; false (use not run) when
// handle is not a window. `use` must not call back into the window functions.
bool WithWindow(HWND handle, const std::function<void(Window&)>& use);

// The modal dialogs running on this thread, innermost last.
std::vector<HWND>& ActiveDialogs();

// Window text as the A functions answer it: the length copied (cut to fit
// size with a terminator), or 0 for no room.
int CopyText(const std::string& text, LPSTR buffer, int size);

}  // namespace qzwin::user
