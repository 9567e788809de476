// Dialog classes on the shell: DoModal through the ActiveX-capable dialog
// box, the message map, and the ActiveX controls of the dialog-init resource.
#include <atlhost.h>

#include <string>

#include <gtest/gtest.h>

#include <qzwin/uihost.h>

#include "shell_fixture.h"

namespace atltest {
namespace {

constexpr int kFileNameField = 204;

template <int id>
class CEntryDialog : public CAxDialogImpl<CEntryDialog<id> > {
 public:
  enum { IDD = id };

  explicit CEntryDialog(const char* fileName) : m_fileName(fileName) {}

  BEGIN_MSG_MAP(CEntryDialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_ID_HANDLER(IDOK, OnCloseCmd)
  COMMAND_ID_HANDLER(IDCANCEL, OnCloseCmd)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    this->SetDlgItemText(kFileNameField, m_fileName.c_str());
    controlsAtInit = this->m_axControls.Count();
    return TRUE;
  }
  LRESULT OnCloseCmd(WORD, WORD wID, HWND, BOOL&) {
    this->EndDialog(wID);
    return 0;
  }
  void OnFinalMessage(HWND) override { finalMessages++; }

  std::string m_fileName;
  size_t controlsAtInit = 0;
  int finalMessages = 0;
};

class DialogTest : public ShellTest {
 protected:
  qzwin::ScriptedUiHost host_;
  qzwin::ScopedUiHost installed_{&host_};
};

TEST_F(DialogTest, DoModalRunsTheMessageMapAndReturnsWhatEndDialogGot) {
  std::string shownFileName;
  host_.SetDialogInspector([&](const qzwin::DialogView& view) {
    char text[64];
    GetDlgItemTextA(view.dialog, kFileNameField, text, sizeof(text));
    shownFileName = text;
  });
  CEntryDialog<300> dialog("C:\\schemas\\a.xml");
  EXPECT_EQ(dialog.DoModal(), IDOK) << "Enter: OK has the focus";
  EXPECT_EQ(shownFileName, "C:\\schemas\\a.xml");
  EXPECT_EQ(dialog.finalMessages, 1);
  EXPECT_EQ(dialog.m_hWnd, nullptr);

  host_.QueueDialogAnswer({qzwin::DialogAnswer::Escape, 0});
  EXPECT_EQ(dialog.DoModal(nullptr, 0), IDCANCEL);
  EXPECT_EQ(host_.ShownDialogs().size(), 2u);
}

TEST_F(DialogTest, AMissingTemplateGivesMinusOneAndLeavesNothingBehind) {
  CEntryDialog<399> missing("x");
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_EQ(module_.ExtractCreateWndData(), nullptr) << "the object was taken back from the module";
  CEntryDialog<300> next("y");
  EXPECT_EQ(next.DoModal(), IDOK);
}

TEST_F(DialogTest, TheDialogInitResourceCreatesItsActiveXControls) {
  ASSERT_GE(CoInitialize(nullptr), 0);
  IUnknown* factory = nullptr;
  ASSERT_EQ(module_.GetClassObject(CLSID_Plain, IID_IUnknown, reinterpret_cast<void**>(&factory)), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_Plain, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);

  CEntryDialog<301> dialog("z");
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.controlsAtInit, 1u) << "created before the message map saw WM_INITDIALOG";
  EXPECT_EQ(Trace::constructed, 1);
  EXPECT_EQ(Trace::destroyed, 1) << "released with the dialog";
  ASSERT_EQ(host_.ShownDialogs().size(), 1u);
  EXPECT_EQ(host_.ShownDialogs()[0].controls.size(), 1u) << "the ActiveX item is not a window of the dialog";

  CEntryDialog<302> broken("z");
  EXPECT_EQ(broken.DoModal(), -1) << "a control that cannot be created ends the dialog";
  EXPECT_EQ(host_.ShownDialogs().size(), 1u);

  CoRevokeClassObject(cookie);
  factory->Release();
  CoUninitialize();
}

}  // namespace
}  // namespace atltest
