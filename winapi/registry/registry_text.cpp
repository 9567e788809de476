#include "registry_text.h"

namespace qzwin::registry {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf16(std::u16string* out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out->push_back(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out->push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  out->push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

// Decodes one UTF-8 sequence at text[*pos]; false (and *pos past the first
// byte) when it is malformed, overlong, a surrogate or beyond U+10FFFF.
bool DecodeOne(std::string_view text, size_t* pos, char32_t* codePoint) {
  unsigned char lead = static_cast<unsigned char>(text[*pos]);
  size_t extra;
  char32_t value;
  char32_t minimum;
  if (lead < 0x80) {
    *codePoint = lead;
    ++*pos;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    ++*pos;
    return false;
  }
  size_t start = *pos;
  ++*pos;
  for (size_t i = 0; i < extra; ++i) {
    if (*pos >= text.size()) return false;
    unsigned char next = static_cast<unsigned char>(text[*pos]);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
    ++*pos;
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    *pos = start + 1;
    return false;
  }
  *codePoint = value;
  return true;
}

}  // namespace

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

std::u16string WidenUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t codePoint;
    if (DecodeOne(text, &pos, &codePoint)) {
      AppendUtf16(&out, codePoint);
    } else {
      out.push_back(kReplacement);
    }
  }
  return out;
}

bool DecodeUtf8Strict(std::string_view text, std::u16string* out) {
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t codePoint;
    if (!DecodeOne(text, &pos, &codePoint)) return false;
    AppendUtf16(out, codePoint);
  }
  return true;
}

std::string NarrowToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(&out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(&out, kReplacement);
    } else {
      AppendUtf8(&out, unit);
    }
  }
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
