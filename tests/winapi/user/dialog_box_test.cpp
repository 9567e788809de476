// Modal dialogs from templates: the message flow the dialog procedure sees,
// the answers of the UI hosts, and templates that cannot be shown.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <qzwin/uihost.h>
#include <windows.h>

#include "dialog_ids.h"

namespace {

// What the procedure of the dialog under test saw and does.
struct Seen {
  std::vector<UINT> messages;
  std::vector<int> commands;
  HWND focusAtInit = reinterpret_cast<HWND>(1);
  LPARAM init = 0;
  INT_PTR initResult = TRUE;
  bool endOnAnyCommand = true;
};
Seen seen;

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  seen.messages.push_back(message);
  if (message == WM_INITDIALOG) {
    seen.init = lParam;
    seen.focusAtInit = reinterpret_cast<HWND>(wParam);
    SetDlgItemTextA(dialog, IDC_FILENAME, "C:\\schemas\\a.xml");
    SetDlgItemTextA(dialog, IDC_URN, "x-schema:a.xml");
    return seen.initResult;
  }
  if (message == WM_COMMAND) {
    seen.commands.push_back(LOWORD(wParam));
    if (seen.endOnAnyCommand || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam) + 100);
    return TRUE;
  }
  return FALSE;
}

class DialogBoxTest : public testing::Test {
 protected:
  void SetUp() override { seen = Seen(); }
  INT_PTR Show(int id, HWND owner = nullptr) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), owner, Procedure, 42);
  }
  qzwin::ScriptedUiHost host_;
  qzwin::ScopedUiHost installed_{&host_};
};

TEST_F(DialogBoxTest, InitialisationFocusesTheFirstTabStopAndEnterPressesIt) {
  HWND activeInside = nullptr;
  std::string fileName;
  host_.SetDialogInspector([&](const qzwin::DialogView& view) {
    activeInside = GetActiveWindow();
    char text[64];
    GetDlgItemTextA(view.dialog, IDC_FILENAME, text, sizeof(text));
    fileName = text;
  });
  EXPECT_EQ(Show(IDD_ENTRY), IDOK + 100) << "Enter pressed the OK button, which has the focus";
  EXPECT_EQ(seen.init, 42);
  EXPECT_EQ(seen.messages.front(), static_cast<UINT>(WM_INITDIALOG));
  EXPECT_EQ(seen.commands, std::vector<int>{IDOK});
  EXPECT_EQ(seen.messages.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_EQ(fileName, "C:\\schemas\\a.xml");

  std::vector<qzwin::DialogView> shown = host_.ShownDialogs();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(activeInside, shown[0].dialog) << "the modal dialog is the active window";
  EXPECT_EQ(shown[0].title, "Error in schema cache");
  EXPECT_EQ(seen.focusAtInit, shown[0].controls.back().window) << "wParam names the first tab stop, OK";
  EXPECT_FALSE(IsWindow(shown[0].dialog)) << "the dialog is gone after it ended";
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(DialogBoxTest, EnterPressesTheDefaultButtonAndEscSendsCancel) {
  seen.initResult = FALSE;  // no focus: Enter goes to the default push button
  EXPECT_EQ(Show(IDD_CHOICE), IDC_NOW + 100);
  host_.QueueDialogAnswer({qzwin::DialogAnswer::Escape, 0});
  EXPECT_EQ(Show(IDD_CHOICE), IDCANCEL + 100);
  host_.QueueDialogAnswer({qzwin::DialogAnswer::Button, IDC_LATER});
  EXPECT_EQ(Show(IDD_CHOICE), IDC_LATER + 100);
  host_.QueueDialogAnswer({qzwin::DialogAnswer::Close, 0});
  EXPECT_EQ(Show(IDD_ENTRY), IDCANCEL + 100) << "the close box sends IDCANCEL";
}

TEST_F(DialogBoxTest, ADialogThatDoesNotEndIsAskedAgain) {
  seen.endOnAnyCommand = false;  // only IDCANCEL ends it
  EXPECT_EQ(Show(IDD_ENTRY), IDCANCEL + 100) << "Enter did nothing, then Esc";
  EXPECT_EQ(seen.commands, (std::vector<int>{IDOK, IDCANCEL}));
}

TEST_F(DialogBoxTest, MessagesReachTheDialogAndItsControls) {
  LRESULT fromDialog = 0;
  std::string title;
  host_.SetDialogInspector([&](const qzwin::DialogView& view) {
    char text[8];
    fromDialog = SendMessageA(view.dialog, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    title = text;
    SendMessageA(GetDlgItem(view.dialog, IDC_LATER), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(Show(IDD_CHOICE), IDC_LATER + 100) << "BM_CLICK ended it before the host answered";
  EXPECT_EQ(title, "Choose");
  EXPECT_EQ(fromDialog, 6);
  EXPECT_EQ(seen.commands, std::vector<int>{IDC_LATER});
}

TEST_F(DialogBoxTest, TemplatesThatCannotBeShown) {
  EXPECT_EQ(Show(999), -1) << "missing";
  EXPECT_EQ(Show(IDD_UNKNOWN_CLASS), -1);
  EXPECT_EQ(Show(IDD_ENTRY, reinterpret_cast<HWND>(0x1234)), 0) << "an owner that is not a window";
  const BYTE truncated[] = {0xC0, 0x00, 0xC8, 0x80, 0, 0, 0, 0, 1, 0};
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(truncated), nullptr, Procedure, 0), -1);
  EXPECT_TRUE(seen.messages.empty());
  EXPECT_TRUE(host_.ShownDialogs().empty());
}

TEST(DialogBoxOnStderr, APersonReadsTheDialogAndItIsAnsweredWithItsDefaultButton) {
  seen = Seen();
  testing::internal::CaptureStderr();
  qzwin::StderrUiHost host;
  qzwin::ScopedUiHost installed(&host);
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ENTRY), nullptr, Procedure, 0);
  std::string written = testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, IDOK + 100);
  EXPECT_EQ(written,
            "--- dialog: Error in schema cache ---\n"
            "An error in the schema cache has occurred.\n"
            "QZSchema cache entry:\n"
            "  File Name: C:\\schemas\\a.xml\n"
            "  x-schema: x-schema:a.xml\n"
            "[Ok]*\n"
            "-> Enter\n");
}

}  // namespace
