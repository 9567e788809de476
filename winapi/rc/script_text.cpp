#include "script_text.h"

#include <cctype>

#include "script_error.h"

namespace qzrc {
namespace {

// Octal escapes take up to three digits; hex escapes up to two in narrow and
// four in wide strings.
constexpr int kMaxOctalDigits = 3;
constexpr int kMaxNarrowHexDigits = 2;
constexpr int kMaxWideHexDigits = 4;

// Windows-1252 where it differs from Latin-1 (0x80..0x9F); 0 marks the five
// unassigned bytes, which map to themselves as with the Windows conversion.
constexpr char16_t kWestern80To9F[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One unit of the string (a byte of a narrow, a UTF-16 unit of a wide
// string) and whether it came from an escape.
struct Unit {
  std::uint32_t value;
  bool escaped;
};

// Reads the unit at raw[*pos] and moves past it.
Unit ReadUnit(const std::string& raw, std::size_t* pos, bool wide) {
  std::size_t i = *pos;
  if (raw[i] != '\\' || i + 1 >= raw.size()) {
    *pos = i + 1;
    return {static_cast<unsigned char>(raw[i]), false};
  }
  char c = raw[i + 1];
  *pos = i + 2;
  switch (c) {
    case 'n': return {'\n', true};
    case 't': return {'\t', true};
    case 'r': return {'\r', true};
    case 'a': return {'\a', true};
    case 'b': return {'\b', true};
    case 'f': return {'\f', true};
    case 'v': return {'\v', true};
    case 'x':
    case 'X': {
      std::uint32_t value = 0;
      int digits = 0;
      int max = wide ? kMaxWideHexDigits : kMaxNarrowHexDigits;
      while (digits < max && *pos < raw.size() && HexDigit(raw[*pos]) >= 0) {
        value = value * 16 + static_cast<std::uint32_t>(HexDigit(raw[(*pos)++]));
        ++digits;
      }
      return {value, true};
    }
    default:
      break;
  }
  if (c >= '0' && c <= '7') {
    std::uint32_t value = 0;
    int digits = 0;
    *pos = i + 1;
    while (digits < kMaxOctalDigits && *pos < raw.size() && raw[*pos] >= '0' && raw[*pos] <= '7') {
      value = value * 8 + static_cast<std::uint32_t>(raw[(*pos)++] - '0');
      ++digits;
    }
    return {wide ? value : (value & 0xFF), true};
  }
  // \\ \" \' \? and unknown escapes: the character itself.
  return {static_cast<unsigned char>(c), true};
}

void AppendUtf16(std::uint32_t codePoint, std::u16string* out) {
  if (codePoint >= 0x10000) {
    codePoint -= 0x10000;
    *out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    *out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
  } else {
    *out += static_cast<char16_t>(codePoint);
  }
}

// Narrow bytes of the code page as UTF-16.
std::u16string Decode(const std::string& bytes, std::uint32_t codePage, const std::filesystem::path& file, int line) {
  std::u16string out;
  if (codePage == kCodePageWestern) {
    for (char c : bytes) {
      auto byte = static_cast<unsigned char>(c);
      char16_t mapped = byte >= 0x80 && byte <= 0x9F ? kWestern80To9F[byte - 0x80] : 0;
      out += mapped != 0 ? mapped : static_cast<char16_t>(byte);
    }
    return out;
  }
  for (std::size_t i = 0; i < bytes.size();) {
    auto lead = static_cast<unsigned char>(bytes[i]);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + static_cast<std::size_t>(length) > bytes.size()) {
      throw ScriptError(file, line, "string is not valid UTF-8 (name the script's code page with #pragma code_page)");
    }
    std::uint32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) throw ScriptError(file, line, "string is not valid UTF-8");
      codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
      throw ScriptError(file, line, "string is not valid UTF-8");
    }
    AppendUtf16(codePoint, &out);
    i += static_cast<std::size_t>(length);
  }
  return out;
}

}  // namespace

bool IsSupportedCodePage(std::uint32_t codePage) { return codePage == kCodePageUtf8 || codePage == kCodePageWestern; }

std::u16string StringText(const Token& token, std::uint32_t codePage, const std::filesystem::path& file) {
  std::u16string out;
  if (token.wide) {
    // Written characters are still in the script's code page; escapes are units.
    std::string run;
    for (std::size_t i = 0; i < token.text.size();) {
      Unit unit = ReadUnit(token.text, &i, true);
      if (unit.escaped) {
        out += Decode(run, codePage, file, token.line);
        run.clear();
        out += static_cast<char16_t>(unit.value);
      } else {
        run += static_cast<char>(unit.value);
      }
    }
    return out + Decode(run, codePage, file, token.line);
  }
  return Decode(StringBytes(token, codePage, file), codePage, file, token.line);
}

std::string StringBytes(const Token& token, std::uint32_t codePage, const std::filesystem::path& file) {
  std::string bytes;
  if (token.wide) {
    for (char16_t unit : StringText(token, codePage, file)) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
  }
  for (std::size_t i = 0; i < token.text.size();) bytes += static_cast<char>(ReadUnit(token.text, &i, false).value);
  return bytes;
}

}  // namespace qzrc
