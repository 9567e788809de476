// The terminal host: boxes and dialogs are written to stderr and the person
// answers with single keys read from the terminal in raw mode.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <qzwin/uihost.h>
#include <winuser.h>

namespace qzwin {
namespace {

constexpr char kEscape = 27;
constexpr int kEscapeSequenceWaitMs = 50;  // an arrow key's bytes follow at once; a lone Esc does not

enum class Key { Enter, Escape, Digit, EndOfInput };

struct KeyPress {
  Key key = Key::EndOfInput;
  int digit = 0;
};

// Reads keys until one means something. Without a terminal, or at the end
// of input, answers EndOfInput.
KeyPress ReadKey() {
  termios saved{};
  bool raw = tcgetattr(STDIN_FILENO, &saved) == 0;
  if (raw) {
    termios keys = saved;
    keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    keys.c_cc[VMIN] = 1;
    keys.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &keys);
  }
  KeyPress press;
  for (;;) {
    char c = 0;
    if (read(STDIN_FILENO, &c, 1) != 1) break;
    if (c == '\r' || c == '\n') {
      press.key = Key::Enter;
      break;
    }
    if (c >= '1' && c <= '9') {
      press.key = Key::Digit;
      press.digit = c - '0';
      break;
    }
    if (c == kEscape) {
      pollfd more{STDIN_FILENO, POLLIN, 0};
      if (poll(&more, 1, kEscapeSequenceWaitMs) <= 0) {
        press.key = Key::Escape;
        break;
      }
      char sequence[8];
      if (read(STDIN_FILENO, sequence, sizeof(sequence)) <= 0) break;  // an arrow or function key: ignored
    }
  }
  if (raw) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  return press;
}

void Prompt(const std::string& text) {
  std::fprintf(stderr, "%s", text.c_str());
  std::fflush(stderr);
}

}  // namespace

int TerminalUiHost::ShowMessageBox(const MessageBoxRequest& request) {
  std::vector<int> buttons = MessageBoxButtons(request.type);
  std::string text = "--- message box: " + request.caption + " ---\n" + request.text + "\n";
  for (size_t i = 0; i < buttons.size(); ++i) {
    text += (i == 0 ? "" : " ") + std::to_string(i + 1) + ":[" + MessageBoxButtonLabel(buttons[i]) + "]";
  }
  Prompt(text + "  (Enter: " + MessageBoxButtonLabel(DefaultMessageBoxButton(request.type)) + ", Esc: Cancel) ");
  for (;;) {
    KeyPress press = ReadKey();
    int answer = 0;
    if (press.key == Key::Enter || press.key == Key::EndOfInput) answer = DefaultMessageBoxButton(request.type);
    if (press.key == Key::Digit && static_cast<size_t>(press.digit) <= buttons.size()) answer = buttons[press.digit - 1];
    // Esc answers IDCANCEL only where the box has a Cancel button, and IDOK for a plain OK box.
    if (press.key == Key::Escape) {
      for (int button : buttons) {
        if (button == IDCANCEL || buttons.size() == 1) answer = button;
      }
    }
    if (answer != 0) {
      Prompt(std::string("-> ") + MessageBoxButtonLabel(answer) + "\n");
      return answer;
    }
  }
}

DialogAnswer TerminalUiHost::ShowDialog(const DialogView& view, int attempt) {
  std::vector<const DialogControlView*> buttons;
  for (const DialogControlView& control : view.controls) {
    if (control.isPushButton && (control.style & WS_VISIBLE) != 0) buttons.push_back(&control);
  }
  std::string text = attempt == 0 ? DescribeDialog(view) : std::string();
  Prompt(text + "(Enter: default button, Esc: cancel, 1-" + std::to_string(buttons.size()) + ": a button) ");
  for (;;) {
    KeyPress press = ReadKey();
    DialogAnswer answer;
    if (press.key == Key::EndOfInput) answer = UnattendedDialogAnswer(attempt);
    if (press.key == Key::Escape) answer.kind = DialogAnswer::Escape;
    if (press.key == Key::Digit) {
      if (static_cast<size_t>(press.digit) > buttons.size()) continue;
      answer.kind = DialogAnswer::Button;
      answer.id = buttons[press.digit - 1]->id;
    }
    Prompt(answer.kind == DialogAnswer::Escape ? "-> Esc\n" : answer.kind == DialogAnswer::Button ? "-> button\n" : "-> Enter\n");
    return answer;
  }
}

}  // namespace qzwin
