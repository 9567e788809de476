// Reads DLGTEMPLATE and DLGTEMPLATEEX bytes as the resource compiler writes
// them: the header, then each item at a DWORD boundary.
#include "dialog_template.h"

#include <cstring>

#include <winnls.h>
#include <winuser.h>

namespace qzwin::user {
namespace {

constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kOrdinalMark = 0xFFFF;

struct ClassAtom {
  WORD atom;
  const char* name;
};
constexpr ClassAtom kClassAtoms[] = {{0x80, "Button"},  {0x81, "Edit"},      {0x82, "Static"},
                                     {0x83, "ListBox"}, {0x84, "ScrollBar"}, {0x85, "ComboBox"}};

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

class Reader {
 public:
  Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}

  bool Word(WORD* value) {
    if (size_ - at_ < 2) return false;
    *value = static_cast<WORD>(data_[at_] | (data_[at_ + 1] << 8));
    at_ += 2;
    return true;
  }
  bool Short(short* value) {
    WORD word = 0;
    if (!Word(&word)) return false;
    *value = static_cast<short>(word);
    return true;
  }
  bool Dword(DWORD* value) {
    WORD low = 0, high = 0;
    if (!Word(&low) || !Word(&high)) return false;
    *value = static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16);
    return true;
  }
  bool Skip(size_t count) {
    if (size_ - at_ < count) return false;
    at_ += count;
    return true;
  }
  bool AlignToDword() { return Skip((4 - at_ % 4) % 4); }

  // A NUL-terminated UTF-16 string, as UTF-8.
  bool String(std::string* text) {
    std::u16string wide;
    for (;;) {
      WORD unit = 0;
      if (!Word(&unit)) return false;  // no terminator within the template
      if (unit == 0) break;
      wide.push_back(static_cast<char16_t>(unit));
    }
    text->clear();
    if (wide.empty()) return true;
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                     nullptr);
    if (length <= 0) return false;
    text->resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &(*text)[0], length, nullptr, nullptr);
    return true;
  }

  // A menu, class or text field: none (0), an ordinal (0xFFFF n) or a string.
  bool NameOrOrdinal(std::string* name, WORD* ordinal) {
    WORD first = 0;
    if (!Word(&first)) return false;
    *ordinal = 0;
    name->clear();
    if (first == 0) return true;
    if (first == kOrdinalMark) return Word(ordinal);
    at_ -= 2;
    return String(name);
  }

 private:
  const BYTE* data_;
  size_t size_;
  size_t at_ = 0;
};

bool ReadItem(Reader& reader, bool extended, DialogItemTemplate* item) {
  DWORD helpId = 0;
  if (!reader.AlignToDword()) return false;
  if (extended) {
    if (!reader.Dword(&helpId) || !reader.Dword(&item->exStyle) || !reader.Dword(&item->style)) return false;
  } else if (!reader.Dword(&item->style) || !reader.Dword(&item->exStyle)) {
    return false;
  }
  if (!reader.Short(&item->x) || !reader.Short(&item->y) || !reader.Short(&item->cx) || !reader.Short(&item->cy)) {
    return false;
  }
  if (extended) {
    DWORD id = 0;
    if (!reader.Dword(&id)) return false;
    item->id = static_cast<int>(id);
  } else {
    short id = 0;
    if (!reader.Short(&id)) return false;
    item->id = id;
  }
  WORD atom = 0, textOrdinal = 0, extra = 0;
  if (!reader.NameOrOrdinal(&item->className, &atom)) return false;
  if (atom != 0) {
    item->className.clear();
    for (const ClassAtom& known : kClassAtoms) {
      if (known.atom == atom) item->className = known.name;
    }
    if (item->className.empty()) return false;
  }
  for (const ClassAtom& known : kClassAtoms) {
    if (SameName(item->className, known.name)) item->className = known.name;
  }
  if (!reader.NameOrOrdinal(&item->text, &textOrdinal)) return false;
  return reader.Word(&extra) && reader.Skip(extra);
}

}  // namespace

bool IsKnownControlClass(const std::string& className) {
  for (const ClassAtom& known : kClassAtoms) {
    if (className == known.name) return true;
  }
  return false;
}

bool ParseDialogTemplate(const BYTE* data, size_t size, DialogTemplate* dialog) {
  if (data == nullptr) return false;
  Reader reader(data, size);
  WORD version = 0, signature = 0;
  if (!reader.Word(&version) || !reader.Word(&signature)) return false;
  bool extended = version == 1 && signature == kExtendedSignature;
  reader = Reader(data, size);
  DWORD helpId = 0;
  WORD count = 0;
  if (extended) {
    if (!reader.Skip(4) || !reader.Dword(&helpId) || !reader.Dword(&dialog->exStyle) || !reader.Dword(&dialog->style)) {
      return false;
    }
  } else if (!reader.Dword(&dialog->style) || !reader.Dword(&dialog->exStyle)) {
    return false;
  }
  if (!reader.Word(&count) || !reader.Short(&dialog->x) || !reader.Short(&dialog->y) || !reader.Short(&dialog->cx) ||
      !reader.Short(&dialog->cy)) {
    return false;
  }
  std::string menu, windowClass, typeface;
  WORD ordinal = 0;
  if (!reader.NameOrOrdinal(&menu, &ordinal) || !reader.NameOrOrdinal(&windowClass, &ordinal) ||
      !reader.String(&dialog->title)) {
    return false;
  }
  if ((dialog->style & DS_SETFONT) != 0) {
    WORD pointSize = 0;
    if (!reader.Word(&pointSize)) return false;
    if (extended && !reader.Skip(4)) return false;  // weight, italic, charset
    if (!reader.String(&typeface)) return false;
  }
  dialog->items.resize(count);
  for (DialogItemTemplate& item : dialog->items) {
    if (!ReadItem(reader, extended, &item)) return false;
  }
  return true;
}

}  // namespace qzwin::user
