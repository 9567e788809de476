// The UI hosts: the process-wide choice of host, the stderr host and the
// scripted host.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <qzwin/uihost.h>
#include <winuser.h>

namespace qzwin {
namespace {

std::atomic<UiHost*> installedHost{nullptr};

bool PersonAtTerminal() {
  const char* choice = std::getenv("QZ_UI_HOST");
  if (choice != nullptr && std::strcmp(choice, "terminal") == 0) return true;
  if (choice != nullptr && std::strcmp(choice, "stderr") == 0) return false;
  return isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
}

UiHost& DefaultHost() {
  // Made once and never destroyed, so that it outlives every static destructor.
  static UiHost* host = PersonAtTerminal() ? static_cast<UiHost*>(new TerminalUiHost())
                                           : static_cast<UiHost*>(new StderrUiHost());
  return *host;
}

const char* AnswerLabel(const DialogAnswer& answer) {
  switch (answer.kind) {
    case DialogAnswer::Enter: return "Enter";
    case DialogAnswer::Escape: return "Esc";
    case DialogAnswer::Close: return "close box";
    case DialogAnswer::Abandon: return "nothing more (the dialog is abandoned)";
    default: return "a button";
  }
}

}  // namespace

std::vector<int> MessageBoxButtons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
  }
}

int DefaultMessageBoxButton(UINT type) {
  std::vector<int> buttons = MessageBoxButtons(type);
  size_t index = (type & MB_DEFMASK) >> 8;
  return index < buttons.size() ? buttons[index] : buttons.front();
}

const char* MessageBoxButtonLabel(int button) {
  switch (button) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    case IDCLOSE: return "Close";
    case IDHELP: return "Help";
    case IDTRYAGAIN: return "Try Again";
    case IDCONTINUE: return "Continue";
    default: return "?";
  }
}

int StderrUiHost::ShowMessageBox(const MessageBoxRequest& request) {
  int answer = DefaultMessageBoxButton(request.type);
  std::string buttons;
  for (int button : MessageBoxButtons(request.type)) {
    buttons += buttons.empty() ? "[" : " [";
    buttons += MessageBoxButtonLabel(button);
    buttons += "]";
  }
  std::fprintf(stderr, "--- message box: %s ---\n%s\n%s -> %s\n", request.caption.c_str(), request.text.c_str(),
               buttons.c_str(), MessageBoxButtonLabel(answer));
  std::fflush(stderr);
  return answer;
}

DialogAnswer StderrUiHost::ShowDialog(const DialogView& view, int attempt) {
  DialogAnswer answer = UnattendedDialogAnswer(attempt);
  std::string text = attempt == 0 ? DescribeDialog(view) : std::string();
  std::fprintf(stderr, "%s-> %s\n", text.c_str(), AnswerLabel(answer));
  std::fflush(stderr);
  return answer;
}

void ScriptedUiHost::QueueAnswer(int answer) {
  std::lock_guard guard(mutex_);
  answers_.push_back(answer);
}

void ScriptedUiHost::SetDefaultAnswer(int answer) {
  std::lock_guard guard(mutex_);
  defaultAnswer_ = answer;
}

void ScriptedUiHost::SetActiveWindow(HWND window) {
  std::lock_guard guard(mutex_);
  activeWindow_ = window;
}

std::vector<MessageBoxRequest> ScriptedUiHost::Shown() const {
  std::lock_guard guard(mutex_);
  return shown_;
}

void ScriptedUiHost::ClearShown() {
  std::lock_guard guard(mutex_);
  shown_.clear();
}

int ScriptedUiHost::ShowMessageBox(const MessageBoxRequest& request) {
  std::lock_guard guard(mutex_);
  shown_.push_back(request);
  if (answers_.empty()) return defaultAnswer_;
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedUiHost::QueueDialogAnswer(DialogAnswer answer) {
  std::lock_guard guard(mutex_);
  dialogAnswers_.push_back(answer);
}

void ScriptedUiHost::SetDialogInspector(std::function<void(const DialogView&)> inspector) {
  std::lock_guard guard(mutex_);
  inspector_ = std::move(inspector);
}

std::vector<DialogView> ScriptedUiHost::ShownDialogs() const {
  std::lock_guard guard(mutex_);
  return shownDialogs_;
}

DialogAnswer ScriptedUiHost::ShowDialog(const DialogView& view, int attempt) {
  std::function<void(const DialogView&)> inspector;
  {
    std::lock_guard guard(mutex_);
    shownDialogs_.push_back(view);
    inspector = inspector_;
  }
  if (inspector) inspector(view);  // outside the lock: it may call back into the host
  std::lock_guard guard(mutex_);
  if (dialogAnswers_.empty()) return UnattendedDialogAnswer(attempt);
  DialogAnswer answer = dialogAnswers_.front();
  dialogAnswers_.pop_front();
  return answer;
}

HWND ScriptedUiHost::ActiveWindow() {
  std::lock_guard guard(mutex_);
  return activeWindow_;
}

UiHost& CurrentUiHost() {
  UiHost* host = installedHost.load();
  return host != nullptr ? *host : DefaultHost();
}

UiHost* SetUiHost(UiHost* host) { return installedHost.exchange(host); }

}  // namespace qzwin
