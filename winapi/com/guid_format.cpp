#include "guid_format.h"

namespace qzwin::com {
namespace {

// Positions of the dashes in the registry form; everything between the
// braces that is not a dash is a hex digit.
constexpr bool IsDashPosition(int i) { return i == 9 || i == 14 || i == 19 || i == 24; }

int HexValue(OLECHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The 16 bytes of a GUID in the order the text shows them.
void TextOrderBytes(REFGUID guid, uint8_t (&bytes)[16]) {
  bytes[0] = static_cast<uint8_t>(guid.Data1 >> 24);
  bytes[1] = static_cast<uint8_t>(guid.Data1 >> 16);
  bytes[2] = static_cast<uint8_t>(guid.Data1 >> 8);
  bytes[3] = static_cast<uint8_t>(guid.Data1);
  bytes[4] = static_cast<uint8_t>(guid.Data2 >> 8);
  bytes[5] = static_cast<uint8_t>(guid.Data2);
  bytes[6] = static_cast<uint8_t>(guid.Data3 >> 8);
  bytes[7] = static_cast<uint8_t>(guid.Data3);
  for (int i = 0; i < 8; ++i) bytes[8 + i] = guid.Data4[i];
}

template <class Char>
void FormatGuidAs(REFGUID guid, Char (&text)[CHARS_IN_GUID]) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  uint8_t bytes[16];
  TextOrderBytes(guid, bytes);
  int next = 0;
  text[0] = '{';
  for (int i = 1; i < kGuidTextLength - 1; ++i) {
    if (IsDashPosition(i)) {
      text[i] = '-';
      continue;
    }
    uint8_t byte = bytes[next / 2];
    text[i] = static_cast<Char>(kDigits[(next % 2 == 0) ? byte >> 4 : byte & 0xF]);
    ++next;
  }
  text[kGuidTextLength - 1] = '}';
  text[kGuidTextLength] = 0;
}

}  // namespace

void FormatGuid(REFGUID guid, OLECHAR (&text)[CHARS_IN_GUID]) { FormatGuidAs(guid, text); }
void FormatGuid(REFGUID guid, char (&text)[CHARS_IN_GUID]) { FormatGuidAs(guid, text); }

bool ParseGuid(LPCOLESTR text, GUID* guid) {
  if (text == nullptr || text[0] != u'{') return false;
  uint8_t bytes[16] = {};
  int next = 0;
  for (int i = 1; i < kGuidTextLength - 1; ++i) {
    if (IsDashPosition(i)) {
      if (text[i] != u'-') return false;
      continue;
    }
    int value = HexValue(text[i]);  // also stops at the terminator of a short text
    if (value < 0) return false;
    bytes[next / 2] = static_cast<uint8_t>(bytes[next / 2] << 4 | value);
    ++next;
  }
  if (text[kGuidTextLength - 1] != u'}' || text[kGuidTextLength] != 0) return false;
  guid->Data1 = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
  guid->Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
  guid->Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
  for (int i = 0; i < 8; ++i) guid->Data4[i] = bytes[8 + i];
  return true;
}

}  // namespace qzwin::com
