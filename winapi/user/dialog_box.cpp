// Modal dialogs: the dialog and its controls are made from the template, the
// dialog procedure gets WM_INITDIALOG, and then the UI host is asked what the
// person does until the procedure calls EndDialog.
#include <cstdint>
#include <memory>

#include <qzwin/uihost.h>
#include <winbase.h>
#include <winuser.h>

#include "dialog_messages.h"
#include "dialog_template.h"
#include "window_table.h"

namespace qzwin::user {
namespace {

// DialogBoxIndirectParamA is not told the template's size; like Windows it
// trusts the counts the template holds.
constexpr size_t kUnsizedTemplate = SIZE_MAX;

constexpr INT_PTR kCannotCreate = -1;
constexpr INT_PTR kAbandoned = 0;

bool IsPushButton(const Window& control) {
  DWORD kind = control.style & 0x0F;
  return control.className == "Button" && (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON);
}

HWND MakeDialog(const DialogTemplate& dialogTemplate, HWND owner, DLGPROC proc) {
  auto dialog = std::make_unique<Window>();
  dialog->isDialog = true;
  dialog->className = "#32770";
  dialog->style = dialogTemplate.style;
  dialog->exStyle = dialogTemplate.exStyle;
  dialog->text = dialogTemplate.title;
  dialog->x = dialogTemplate.x;
  dialog->y = dialogTemplate.y;
  dialog->cx = dialogTemplate.cx;
  dialog->cy = dialogTemplate.cy;
  dialog->owner = owner;
  dialog->proc = proc;
  HWND handle = AddWindow(std::move(dialog));
  std::vector<HWND> children;
  for (const DialogItemTemplate& item : dialogTemplate.items) {
    auto control = std::make_unique<Window>();
    control->parent = handle;
    control->className = item.className;
    control->style = item.style;
    control->exStyle = item.exStyle;
    control->id = item.id;
    control->text = item.text;
    control->x = item.x;
    control->y = item.y;
    control->cx = item.cx;
    control->cy = item.cy;
    children.push_back(AddWindow(std::move(control)));
  }
  WithWindow(handle, [&](Window& window) { window.children = children; });
  return handle;
}

void DestroyDialog(HWND dialog) {
  std::vector<HWND> children;
  WithWindow(dialog, [&](Window& window) { children = window.children; });
  for (HWND child : children) RemoveWindow(child);
  RemoveWindow(dialog);
}

// The first visible, enabled control that is a tab stop.
HWND FirstTabStop(HWND dialog) {
  std::vector<HWND> children;
  WithWindow(dialog, [&](Window& window) { children = window.children; });
  for (HWND child : children) {
    DWORD style = 0;
    WithWindow(child, [&](Window& control) { style = control.style; });
    if ((style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0) return child;
  }
  return nullptr;
}

DialogView ViewOf(HWND dialog) {
  DialogView view;
  view.dialog = dialog;
  std::vector<HWND> children;
  HWND focus = nullptr;
  WithWindow(dialog, [&](Window& window) {
    view.owner = window.owner;
    view.title = window.text;
    children = window.children;
    focus = window.focus;
  });
  int focusedButton = 0, defPushButton = 0;
  for (HWND child : children) {
    WithWindow(child, [&](Window& control) {
      DialogControlView shown;
      shown.window = child;
      shown.id = control.id;
      shown.className = control.className;
      shown.style = control.style;
      shown.text = control.text;
      shown.x = control.x;
      shown.y = control.y;
      shown.cx = control.cx;
      shown.cy = control.cy;
      shown.isPushButton = IsPushButton(control);
      shown.isGroupBox = control.className == "Button" && (control.style & 0x0F) == BS_GROUPBOX;
      if (shown.isPushButton && child == focus) focusedButton = control.id;
      if (shown.isPushButton && (control.style & 0x0F) == BS_DEFPUSHBUTTON && defPushButton == 0) {
        defPushButton = control.id;
      }
      view.controls.push_back(shown);
    });
  }
  view.defaultButton = focusedButton != 0 ? focusedButton : defPushButton != 0 ? defPushButton : IDOK;
  return view;
}

bool HasEnded(HWND dialog, INT_PTR* result) {
  bool ended = true;  // a dialog destroyed from its own procedure has ended too
  WithWindow(dialog, [&](Window& window) {
    ended = window.ended;
    *result = window.result;
  });
  return ended;
}

void Command(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// An owner is a window of ours or the host's own window.
bool IsOwnerWindow(HWND owner) {
  return owner == nullptr || IsWindow(owner) || owner == CurrentUiHost().ActiveWindow();
}

INT_PTR RunDialog(const DialogTemplate& dialogTemplate, HWND owner, DLGPROC proc, LPARAM init) {
  if (!IsOwnerWindow(owner)) return 0;
  for (const DialogItemTemplate& item : dialogTemplate.items) {
    if (!IsKnownControlClass(item.className)) return kCannotCreate;
  }
  HWND dialog = MakeDialog(dialogTemplate, owner, proc);
  ActiveDialogs().push_back(dialog);
  HWND firstTabStop = FirstTabStop(dialog);
  if (SendDialogMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), init) != 0) {
    WithWindow(dialog, [&](Window& window) { window.focus = firstTabStop; });
  }
  INT_PTR result = 0;
  for (int attempt = 0; !HasEnded(dialog, &result); ++attempt) {
    DialogAnswer answer = CurrentUiHost().ShowDialog(ViewOf(dialog), attempt);
    if (HasEnded(dialog, &result)) break;  // ended while the host showed it
    switch (answer.kind) {
      case DialogAnswer::Button: Command(dialog, answer.id); break;
      case DialogAnswer::Enter: Command(dialog, ViewOf(dialog).defaultButton); break;
      case DialogAnswer::Escape: Command(dialog, IDCANCEL); break;
      case DialogAnswer::Close: SendMessageA(dialog, WM_CLOSE, 0, 0); break;
      case DialogAnswer::Abandon: EndDialog(dialog, kAbandoned); break;
    }
  }
  if (IsWindow(dialog)) {
    SendDialogMessage(dialog, WM_DESTROY, 0, 0);
    SendDialogMessage(dialog, WM_NCDESTROY, 0, 0);
    DestroyDialog(dialog);
  }
  ActiveDialogs().pop_back();
  return result;
}

}  // namespace
}  // namespace qzwin::user

using namespace qzwin::user;

EXTERN_C INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate, HWND hWndParent,
                                                DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  DialogTemplate dialogTemplate;
  if (!ParseDialogTemplate(reinterpret_cast<const BYTE*>(hDialogTemplate), kUnsizedTemplate, &dialogTemplate)) {
    return kCannotCreate;
  }
  return RunDialog(dialogTemplate, hWndParent, lpDialogFunc, dwInitParam);
}

EXTERN_C INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                                        DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  HRSRC found = FindResourceA(hInstance, lpTemplateName, RT_DIALOG);
  HGLOBAL loaded = found != nullptr ? LoadResource(hInstance, found) : nullptr;
  const BYTE* bytes = loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  DialogTemplate dialogTemplate;
  if (bytes == nullptr || !ParseDialogTemplate(bytes, SizeofResource(hInstance, found), &dialogTemplate)) {
    return kCannotCreate;
  }
  return RunDialog(dialogTemplate, hWndParent, lpDialogFunc, dwInitParam);
}

EXTERN_C BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
  bool isDialog = false;
  WithWindow(hDlg, [&](Window& window) {
    if (!window.isDialog) return;
    isDialog = true;
    window.ended = true;
    window.result = nResult;
  });
  return isDialog ? TRUE : FALSE;
}
