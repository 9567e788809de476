// Message boxes reach the UI host: the scripted host sees every box and
// chooses the answers; the default host writes the box to stderr.
#include <string>

#include <gtest/gtest.h>

#include <qzwin/uihost.h>
#include <windows.h>

namespace {

TEST(MessageBox, TheScriptedHostSeesEveryBoxAndAnswers) {
  qzwin::ScriptedUiHost host;
  qzwin::ScopedUiHost installed(&host);
  host.QueueAnswer(IDNO);
  HWND owner = reinterpret_cast<HWND>(0x40);

  EXPECT_EQ(MessageBoxA(owner, "Overwrite?", "Question", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Failed to register\n Tavel platform system xml schemas", "Register failed", MB_OK),
            IDOK)
      << "with the queue empty the default answer";
  host.SetDefaultAnswer(IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OKCANCEL), IDCANCEL);

  std::vector<qzwin::MessageBoxRequest> shown = host.Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].owner, owner);
  EXPECT_EQ(shown[0].caption, "Question");
  EXPECT_EQ(shown[0].text, "Overwrite?");
  EXPECT_EQ(shown[0].type, UINT{MB_YESNO | MB_ICONQUESTION});
  EXPECT_EQ(shown[1].owner, nullptr);
  EXPECT_EQ(shown[1].text, "Failed to register\n Tavel platform system xml schemas");
  EXPECT_EQ(shown[1].type, UINT{MB_OK});
  EXPECT_EQ(shown[2].caption, "Error") << "a null caption reads \"Error\", as on Windows";
  EXPECT_EQ(shown[2].text, "");
}

TEST(MessageBox, ActiveWindowIsNullUnlessTheHostHasOne) {
  EXPECT_EQ(GetActiveWindow(), nullptr);
  qzwin::ScriptedUiHost host;
  HWND window = reinterpret_cast<HWND>(0x80);
  host.SetActiveWindow(window);
  {
    qzwin::ScopedUiHost installed(&host);
    EXPECT_EQ(GetActiveWindow(), window);
  }
  EXPECT_EQ(GetActiveWindow(), nullptr) << "the scope put the default host back";
}

TEST(MessageBox, TheDefaultHostWritesToStderrAndPressesTheDefaultButton) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "Text of the box", "Caption", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "Again?", "Retry", MB_RETRYCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "Ask", MB_YESNO), IDYES);
  std::string written = testing::internal::GetCapturedStderr();
  EXPECT_NE(written.find("Caption"), std::string::npos);
  EXPECT_NE(written.find("Text of the box"), std::string::npos);
  EXPECT_NE(written.find("[Retry] [Cancel]"), std::string::npos);
}

}  // namespace
