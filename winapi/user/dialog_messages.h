// Messages to dialogs and their controls.
#pragma once

#include <windef.h>

namespace qzwin::user {

// Hands the message to the dialog procedure and answers as SendMessage does
// for a dialog: WM_INITDIALOG's own result; else DWLP_MSGRESULT when the
// procedure handled the message, or the default dialog processing.
LRESULT SendDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace qzwin::user
