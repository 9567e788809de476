// Where the stand-in shows its user interface. Message boxes and modal
// dialogs are handed to the current UI host: on an interactive terminal one
// that lets the person choose; otherwise (CI, pipes) one that writes them to
// stderr and answers as if Enter were pressed; tests install a scripted host
// that records everything shown and chooses the answers.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <windef.h>

namespace qzwin {

struct MessageBoxRequest {
  HWND owner = nullptr;
  std::string text;     // "" when the caller passed null
  std::string caption;  // "Error" when the caller passed null, as on Windows
  UINT type = 0;        // MB_* flags as passed
};

// One control of a dialog as it stands when the dialog asks for an answer.
struct DialogControlView {
  HWND window = nullptr;
  int id = 0;
  std::string className;  // "Button", "Static", "Edit", "ListBox", "ScrollBar", "ComboBox"
  DWORD style = 0;
  std::string text;       // the current text, mnemonic '&' included
  short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  bool isPushButton = false;
  bool isGroupBox = false;
};

struct DialogView {
  HWND dialog = nullptr;
  HWND owner = nullptr;
  std::string title;
  std::vector<DialogControlView> controls;  // template order
  int defaultButton = 1;                    // the id Enter sends (IDOK when no button claims it)
};

// What the person does with a dialog: press a button, press Enter (the
// default button) or Esc (IDCANCEL), or close it with the close box.
struct DialogAnswer {
  enum Kind { Button, Enter, Escape, Close, Abandon };
  Kind kind = Enter;
  int id = 0;  // for Button
};

// The answer a host without a person gives: Enter; if that did not end the
// dialog, Esc; then it gives up (Abandon ends the dialog with 0).
DialogAnswer UnattendedDialogAnswer(int attempt);

// The view as a person reads it: title, texts and group boxes top to bottom
// (label and field on one line), the buttons with the default marked.
std::string DescribeDialog(const DialogView& view);

// A place that shows user interface.
class UiHost {
 public:
  virtual ~UiHost() = default;
  // Shows the box modally and returns the ID* of the button chosen.
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
  // Shows a modal dialog and returns what the person does. Asked again
  // (attempt 1, 2, ...) while what was done did not end the dialog.
  virtual DialogAnswer ShowDialog(const DialogView& view, int attempt) { return UnattendedDialogAnswer(attempt); }
  // The active window of this thread; null when the host has no windows.
  virtual HWND ActiveWindow() { return nullptr; }
};

// The buttons a box of this type shows, in order (IDOK, IDCANCEL, ...), and
// the one that Enter would press (MB_DEFBUTTONn, IDOK for MB_OK).
std::vector<int> MessageBoxButtons(UINT type);
int DefaultMessageBoxButton(UINT type);
const char* MessageBoxButtonLabel(int button);

// Writes every box to stderr and answers its default button, as if the
// person had pressed Enter: IDOK for a plain MB_OK box.
class StderrUiHost : public UiHost {
 public:
  int ShowMessageBox(const MessageBoxRequest& request) override;
  DialogAnswer ShowDialog(const DialogView& view, int attempt) override;
};

// Shows on stderr and reads the person's keys from the terminal on stdin:
// Enter presses the default button, Esc IDCANCEL, a digit the button of
// that number.
class TerminalUiHost : public UiHost {
 public:
  int ShowMessageBox(const MessageBoxRequest& request) override;
  DialogAnswer ShowDialog(const DialogView& view, int attempt) override;
};

// Records every box and answers from a queue; with the queue empty it answers
// the default answer (IDOK unless set). Answers are returned as queued, even
// ones the box has no button for. Safe to use from several threads.
class ScriptedUiHost : public UiHost {
 public:
  void QueueAnswer(int answer);
  void SetDefaultAnswer(int answer);
  void SetActiveWindow(HWND window);
  std::vector<MessageBoxRequest> Shown() const;
  void ClearShown();

  // Dialogs: answered from their own queue, else as a host without a person
  // answers. The inspector, if set, sees each dialog before it is answered
  // (and may call the window functions on view.dialog).
  void QueueDialogAnswer(DialogAnswer answer);
  void SetDialogInspector(std::function<void(const DialogView&)> inspector);
  std::vector<DialogView> ShownDialogs() const;

  int ShowMessageBox(const MessageBoxRequest& request) override;
  DialogAnswer ShowDialog(const DialogView& view, int attempt) override;
  HWND ActiveWindow() override;

 private:
  mutable std::mutex mutex_;
  std::vector<MessageBoxRequest> shown_;
  std::deque<int> answers_;
  std::vector<DialogView> shownDialogs_;
  std::deque<DialogAnswer> dialogAnswers_;
  std::function<void(const DialogView&)> inspector_;
  int defaultAnswer_ = 1;  // IDOK
  HWND activeWindow_ = nullptr;
};

// The host in use: the one installed, else the terminal host when stdin and
// stderr are terminals (QZ_UI_HOST=stderr or terminal overrides), else the
// stderr host.
UiHost& CurrentUiHost();

// Installs a host for the whole process and returns the one it replaces (null
// when that was the default). Null restores the default. The caller keeps
// ownership and must uninstall a host before destroying it.
UiHost* SetUiHost(UiHost* host);

// Installs a host for the lifetime of a scope.
class ScopedUiHost {
 public:
  explicit ScopedUiHost(UiHost* host) : previous_(SetUiHost(host)) {}
  ~ScopedUiHost() { SetUiHost(previous_); }
  ScopedUiHost(const ScopedUiHost&) = delete;
  ScopedUiHost& operator=(const ScopedUiHost&) = delete;

 private:
  UiHost* previous_;
};

}  // namespace qzwin
