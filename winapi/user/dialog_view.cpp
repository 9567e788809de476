// How a dialog reads as text, and how a host without a person answers it.
#include <algorithm>
#include <string>

#include <qzwin/uihost.h>
#include <winuser.h>

namespace qzwin {
namespace {

// "&Ok" reads "Ok"; "&&" is one '&'.
std::string WithoutMnemonics(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    plain.push_back(text[i]);
  }
  return plain;
}

bool IsVisible(const DialogControlView& control) { return (control.style & WS_VISIBLE) != 0; }

// Frames, rectangles, icons and bitmaps show no text.
bool ShowsText(const DialogControlView& control) {
  if (control.className != "Static") return true;
  DWORD kind = control.style & 0x1F;
  return kind <= SS_RIGHT || kind == SS_SIMPLE || kind == SS_LEFTNOWORDWRAP;
}

bool Inside(const DialogControlView& inner, const DialogControlView& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
         inner.y + inner.cy <= outer.y + outer.cy;
}

std::string TextOf(const DialogControlView& control) {
  std::string text = WithoutMnemonics(control.text);
  if (control.isGroupBox) return text + ":";
  if (control.className == "Edit") return "[" + text + "]";
  return text;
}

}  // namespace

DialogAnswer UnattendedDialogAnswer(int attempt) {
  DialogAnswer answer;
  answer.kind = attempt == 0 ? DialogAnswer::Enter : attempt == 1 ? DialogAnswer::Escape : DialogAnswer::Abandon;
  return answer;
}

std::string DescribeDialog(const DialogView& view) {
  std::string text = "--- dialog: " + view.title + " ---\n";
  std::vector<const DialogControlView*> shown;
  std::string buttons;
  for (const DialogControlView& control : view.controls) {
    if (!IsVisible(control)) continue;
    if (control.isPushButton) {
      buttons += buttons.empty() ? "[" : " [";
      buttons += WithoutMnemonics(control.text) + "]";
      if (control.id == view.defaultButton) buttons += "*";
    } else if (ShowsText(control)) {
      shown.push_back(&control);
    }
  }
  std::stable_sort(shown.begin(), shown.end(), [](const DialogControlView* a, const DialogControlView* b) {
    return a->y != b->y ? a->y < b->y : a->x < b->x;
  });
  for (size_t i = 0; i < shown.size();) {
    size_t end = i;
    std::string line;
    while (end < shown.size() && shown[end]->y == shown[i]->y) {
      std::string part = TextOf(*shown[end]);
      if (!part.empty()) line += (line.empty() ? "" : " ") + part;
      ++end;
    }
    bool grouped = std::any_of(view.controls.begin(), view.controls.end(), [&](const DialogControlView& box) {
      return box.isGroupBox && &box != shown[i] && IsVisible(box) && Inside(*shown[i], box);
    });
    if (!line.empty()) text += (grouped ? "  " : "") + line + "\n";
    i = end;
  }
  text += buttons.empty() ? "(no buttons)\n" : buttons + "\n";
  return text;
}

}  // namespace qzwin
