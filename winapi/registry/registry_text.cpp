#include "registry_text.h"

#include <winbase.h>
#include <winnls.h>

namespace qzwin::registry {

void AppendUtf8(std::string* out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out->push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out->push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out->push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

// The A functions see text in the system code page, which the kernel
// converts; a registry file is strict UTF-8 whatever that code page is.

std::u16string WidenUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  std::u16string out(static_cast<size_t>(units), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), units);
  return out;
}

bool DecodeUtf8Strict(std::string_view text, std::u16string* out) {
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (units == 0) return false;
  const size_t at = out->size();
  out->resize(at + static_cast<size_t>(units));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, out->data() + at, units);
  return true;
}

std::string NarrowToUtf8(std::u16string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
  return out;
}

char16_t UpcaseUnit(char16_t unit) {
  if (unit >= u'a' && unit <= u'z') return unit - 0x20;
  if (unit < 0xE0) return unit;
  if (unit <= 0xFE) return unit == 0xF7 ? unit : unit - 0x20;  // Latin-1, not the division sign
  if (unit == 0xFF) return 0x178;
  if (unit >= 0x100 && unit <= 0x137) return unit & ~1;  // Latin Extended-A pairs (upper even)
  if (unit >= 0x139 && unit <= 0x148) return (unit & 1) ? unit : unit - 1;
  if (unit >= 0x14A && unit <= 0x177) return unit & ~1;
  if (unit >= 0x179 && unit <= 0x17E) return (unit & 1) ? unit : unit - 1;
  if (unit >= 0x3B1 && unit <= 0x3CB && unit != 0x3C2) return unit - 0x20;  // Greek
  if (unit >= 0x430 && unit <= 0x44F) return unit - 0x20;                   // Cyrillic
  if (unit >= 0x450 && unit <= 0x45F) return unit - 0x50;
  return unit;
}

std::u16string FoldName(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& unit : folded) unit = UpcaseUnit(unit);
  return folded;
}

size_t WideLength(const char16_t* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

}  // namespace qzwin::registry
