// DIALOG and DIALOGEX statements: the frame, its optional statements and the
// controls, with the default styles the Windows resource compiler gives each
// kind of control statement.
#include <cctype>
#include <map>

#include "builtin_names.h"
#include "dialog.h"
#include "language.h"

namespace qzrc {
namespace {

// Style of a DIALOG without a STYLE statement: WS_POPUP | WS_BORDER | WS_SYSMENU.
constexpr std::uint32_t kDefaultDialogStyle = 0x80880000;
constexpr std::uint32_t kCaptionStyle = 0x00C00000;  // WS_CAPTION, added by CAPTION
constexpr std::uint32_t kSetFontStyle = 0x00000040;  // DS_SETFONT, added by FONT
// Every control is a visible child: WS_CHILD | WS_VISIBLE.
constexpr std::uint32_t kChildVisible = 0x50000000;
constexpr std::uint32_t kGroup = 0x00020000;
constexpr std::uint32_t kTabStop = 0x00010000;
constexpr std::uint32_t kBorder = 0x00800000;

// Ordinals of the predefined window classes in a template.
constexpr std::uint16_t kButtonClass = 0x0080;
constexpr std::uint16_t kEditClass = 0x0081;
constexpr std::uint16_t kStaticClass = 0x0082;
constexpr std::uint16_t kListBoxClass = 0x0083;
constexpr std::uint16_t kScrollBarClass = 0x0084;
constexpr std::uint16_t kComboBoxClass = 0x0085;

// A control statement other than CONTROL: its class, its style before the
// script's own, and whether it is written with a text.
struct ControlKind {
  std::uint16_t classOrdinal;
  std::uint32_t style;
  bool hasText;
};

const ControlKind* FindControlKind(const std::string& upperKeyword) {
  static const std::map<std::string, ControlKind> kKinds = {
      {"LTEXT", {kStaticClass, 0x0 | kGroup, true}},          // SS_LEFT
      {"CTEXT", {kStaticClass, 0x1 | kGroup, true}},          // SS_CENTER
      {"RTEXT", {kStaticClass, 0x2 | kGroup, true}},          // SS_RIGHT
      {"PUSHBUTTON", {kButtonClass, 0x0 | kTabStop, true}},   // BS_PUSHBUTTON
      {"DEFPUSHBUTTON", {kButtonClass, 0x1 | kTabStop, true}},  // BS_DEFPUSHBUTTON
      {"CHECKBOX", {kButtonClass, 0x2 | kTabStop, true}},     // BS_CHECKBOX
      {"AUTOCHECKBOX", {kButtonClass, 0x3 | kTabStop, true}},  // BS_AUTOCHECKBOX
      {"RADIOBUTTON", {kButtonClass, 0x4, true}},             // BS_RADIOBUTTON
      {"STATE3", {kButtonClass, 0x5 | kTabStop, true}},       // BS_3STATE
      {"AUTO3STATE", {kButtonClass, 0x6 | kTabStop, true}},   // BS_AUTO3STATE
      {"GROUPBOX", {kButtonClass, 0x7, true}},                // BS_GROUPBOX
      {"AUTORADIOBUTTON", {kButtonClass, 0x9, true}},         // BS_AUTORADIOBUTTON
      {"PUSHBOX", {kButtonClass, 0xA | kTabStop, true}},      // BS_PUSHBOX
      {"EDITTEXT", {kEditClass, 0x0 | kBorder | kTabStop, false}},  // ES_LEFT
      {"LISTBOX", {kListBoxClass, 0x1 | kBorder, false}},     // LBS_NOTIFY
      {"COMBOBOX", {kComboBoxClass, 0x1 | kTabStop, false}},  // CBS_SIMPLE
      {"SCROLLBAR", {kScrollBarClass, 0x0, false}},           // SBS_HORZ
  };
  auto found = kKinds.find(upperKeyword);
  return found == kKinds.end() ? nullptr : &found->second;
}

std::u16string Widened(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The predefined classes, which templates name by ordinal.
std::optional<std::uint16_t> PredefinedClass(const std::string& upperName) {
  if (upperName == "BUTTON") return kButtonClass;
  if (upperName == "EDIT") return kEditClass;
  if (upperName == "STATIC") return kStaticClass;
  if (upperName == "LISTBOX") return kListBoxClass;
  if (upperName == "SCROLLBAR") return kScrollBarClass;
  if (upperName == "COMBOBOX") return kComboBoxClass;
  return std::nullopt;
}

NameOrOrdinal Ordinal(std::uint16_t value) { return {true, value, {}}; }

class DialogParser {
 public:
  DialogParser(StatementReader& reader, bool extended) : reader_(reader) { dialog_.extended = extended; }

  Dialog Parse(std::uint16_t* language) {
    dialog_.x = reader_.Coordinate("x");
    reader_.OptionalComma();
    dialog_.y = reader_.Coordinate("y");
    reader_.OptionalComma();
    dialog_.cx = reader_.Coordinate("width");
    reader_.OptionalComma();
    dialog_.cy = reader_.Coordinate("height");
    if (reader_.Accept(",")) {
      int line = reader_.Line();
      dialog_.helpId = reader_.Value().value;
      if (!dialog_.extended) throw reader_.Error(line, "a help id is allowed in DIALOGEX only");
    }
    OptionalStatements(language);
    dialog_.style = (styleGiven_ ? style_.Over(0) : kDefaultDialogStyle);
    if (captionGiven_) dialog_.style |= kCaptionStyle;
    if (fontGiven_) dialog_.style |= kSetFontStyle;

    reader_.Begin("the controls");
    while (!reader_.End()) Control();
    return dialog_;
  }

 private:
  void OptionalStatements(std::uint16_t* language) {
    for (;;) {
      const Token* next = reader_.Peek();
      if (next == nullptr || next->kind != Token::Kind::kWord) return;
      std::string keyword = Upper(next->text);
      if (keyword == "BEGIN") return;
      Token statement = reader_.Take("a dialog statement");
      if (keyword == "STYLE") {
        style_ = reader_.Style();
        styleGiven_ = true;
      } else if (keyword == "EXSTYLE") {
        dialog_.exStyle = reader_.Style().Over(0);
      } else if (keyword == "CAPTION") {
        dialog_.caption = reader_.Text("a caption");
        captionGiven_ = true;
      } else if (keyword == "FONT") {
        Font();
      } else if (keyword == "CLASS") {
        dialog_.windowClass = NameOrNumber("a class name");
      } else if (keyword == "MENU") {
        dialog_.menu = NameOrNumber("a menu");
      } else if (keyword == "LANGUAGE") {
        *language = ReadLanguage(reader_);
      } else if (keyword == "CHARACTERISTICS" || keyword == "VERSION") {
        reader_.Value();  // kept by the Windows compiler in the .res file only
      } else {
        throw reader_.Error(statement.line, "unknown dialog statement '" + statement.text + "'; expected BEGIN");
      }
    }
  }

  void Font() {
    fontGiven_ = true;
    dialog_.pointSize = reader_.Word("point size");
    reader_.OptionalComma();
    dialog_.typeface = reader_.Text("a typeface name");
    if (!reader_.Accept(",")) return;
    int line = reader_.Line();
    if (!dialog_.extended) throw reader_.Error(line, "weight, italic and charset are allowed in DIALOGEX only");
    dialog_.weight = reader_.Word("font weight");
    if (!reader_.Accept(",")) return;
    dialog_.italic = reader_.Value().value != 0 ? 1 : 0;
    if (!reader_.Accept(",")) return;
    dialog_.charset = static_cast<std::uint8_t>(reader_.Value().value & 0xFF);
  }

  // A menu or class: a number (or #define of one), or a name.
  NameOrOrdinal NameOrNumber(const char* what) {
    const Token* next = reader_.Peek();
    if (next != nullptr && next->kind == Token::Kind::kString) return {false, 0, reader_.Text(what)};
    if (next != nullptr && next->kind == Token::Kind::kWord && !std::isdigit(static_cast<unsigned char>(next->text[0])) &&
        !reader_.source().defines().IsDefined(next->text) && !BuiltinConstant(next->text)) {
      return {false, 0, Widened(Upper(reader_.Take(what).text))};
    }
    return Ordinal(reader_.Word(what));
  }

  void Control() {
    Token keywordToken = reader_.Take("a control statement");
    std::string keyword = Upper(keywordToken.text);
    if (keywordToken.kind != Token::Kind::kWord) {
      throw reader_.Error(keywordToken.line, "expected a control statement, found '" + keywordToken.text + "'");
    }
    DialogItem item;
    std::uint32_t defaults = kChildVisible;
    if (keyword == "CONTROL") {
      item.text = ControlText();
      reader_.OptionalComma();
      item.id = Id();
      reader_.OptionalComma();
      item.windowClass = ControlClass();
      reader_.OptionalComma();
      item.style = reader_.Style().Over(defaults);
      reader_.OptionalComma();
      Rectangle(&item);
    } else if (const ControlKind* kind = FindControlKind(keyword)) {
      if (kind->hasText) {
        item.text = ControlText();
        reader_.OptionalComma();
      }
      item.id = Id();
      reader_.OptionalComma();
      item.windowClass = Ordinal(kind->classOrdinal);
      Rectangle(&item);
      item.style = defaults | kind->style;
      if (reader_.Accept(",")) item.style = reader_.Style().Over(item.style);
    } else {
      throw reader_.Error(keywordToken.line, "control statement '" + keywordToken.text + "' is not supported");
    }
    if (reader_.Accept(",")) item.exStyle = reader_.Style().Over(0);
    if (reader_.Accept(",")) {
      int line = reader_.Line();
      item.helpId = reader_.Value().value;
      if (!dialog_.extended) throw reader_.Error(line, "a help id is allowed in DIALOGEX only");
    }
    if (dialog_.items.size() == 0xFFFF) throw reader_.Error(keywordToken.line, "too many controls in one dialog");
    dialog_.items.push_back(std::move(item));
  }

  // A string, or a number for controls that show a resource (an icon).
  NameOrOrdinal ControlText() {
    const Token* next = reader_.Peek();
    if (next != nullptr && next->kind == Token::Kind::kString) return {false, 0, reader_.Text("a text")};
    return Ordinal(reader_.Word("text ordinal"));
  }

  std::uint32_t Id() {
    int line = reader_.Line();
    std::uint32_t id = reader_.Value().value;
    if (dialog_.extended) return id;
    if (!FitsInWord(id)) throw reader_.Error(line, "control id does not fit in 16 bits");
    return id & 0xFFFF;
  }

  NameOrOrdinal ControlClass() {
    Token token = reader_.Take("a window class");
    std::string name;
    if (token.kind == Token::Kind::kString) {
      std::u16string text = reader_.TextOf(token);
      std::string ascii;
      for (char16_t unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : '?';
      if (auto ordinal = PredefinedClass(Upper(ascii))) return Ordinal(*ordinal);
      return {false, 0, text};
    }
    if (token.kind == Token::Kind::kWord) {
      if (auto ordinal = PredefinedClass(Upper(token.text))) return Ordinal(*ordinal);
    }
    throw reader_.Error(token.line, "expected a window class in quotes, found '" + token.text + "'");
  }

  void Rectangle(DialogItem* item) {
    item->x = reader_.Coordinate("x");
    reader_.OptionalComma();
    item->y = reader_.Coordinate("y");
    reader_.OptionalComma();
    item->cx = reader_.Coordinate("width");
    reader_.OptionalComma();
    item->cy = reader_.Coordinate("height");
  }

  StatementReader& reader_;
  Dialog dialog_;
  StyleBits style_;
  bool styleGiven_ = false;
  bool captionGiven_ = false;
  bool fontGiven_ = false;
};

}  // namespace

Dialog ParseDialog(StatementReader& reader, bool extended, std::uint16_t* language) {
  return DialogParser(reader, extended).Parse(language);
}

}  // namespace qzrc
