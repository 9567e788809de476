// Where the stand-in shows its user interface. Message boxes (and, later,
// modal dialogs) are handed to the current UI host: by default one that
// writes them to stderr and answers as if the first button were pressed; tests
// install a scripted host that records every box and chooses the answers.
#pragma once

#include <deque>
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

// A place that shows user interface. A dialog host extends this with modal
// dialogs from templates.
class UiHost {
 public:
  virtual ~UiHost() = default;
  // Shows the box modally and returns the ID* of the button chosen.
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
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

  int ShowMessageBox(const MessageBoxRequest& request) override;
  HWND ActiveWindow() override;

 private:
  mutable std::mutex mutex_;
  std::vector<MessageBoxRequest> shown_;
  std::deque<int> answers_;
  int defaultAnswer_ = 1;  // IDOK
  HWND activeWindow_ = nullptr;
};

// The host in use (the stderr host unless one was installed).
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
