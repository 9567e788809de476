#include "xdr_datatypes.h"

#include <array>
#include <cctype>
#include <climits>
#include <strings.h>

namespace qzwin::msxml::xdr {
namespace {

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsXmlSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsNoCase(std::string_view a, const char* b) {
  size_t n = std::char_traits<char>::length(b);
  return a.size() == n && strncasecmp(a.data(), b, n) == 0;
}

// Reads exactly `count` digits from the front of text into *value.
bool TakeDigits(std::string_view& text, size_t count, int* value) {
  if (text.size() < count) return false;
  int v = 0;
  for (size_t i = 0; i < count; ++i) {
    if (!IsDigit(text[i])) return false;
    v = v * 10 + (text[i] - '0');
  }
  text.remove_prefix(count);
  *value = v;
  return true;
}

bool TakeChar(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

size_t TakeDigitRun(std::string_view& text) {
  size_t n = 0;
  while (n < text.size() && IsDigit(text[n])) ++n;
  text.remove_prefix(n);
  return n;
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// YYYY-MM-DD with a real day of the month.
bool TakeDate(std::string_view& text) {
  int year = 0, month = 0, day = 0;
  if (!TakeDigits(text, 4, &year) || !TakeChar(text, '-') || !TakeDigits(text, 2, &month) ||
      !TakeChar(text, '-') || !TakeDigits(text, 2, &day))
    return false;
  static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
  return !(month == 2 && day == 29 && !IsLeapYear(year));
}

// hh:mm[:ss[.fraction]]
bool TakeTime(std::string_view& text) {
  int hour = 0, minute = 0, second = 0;
  if (!TakeDigits(text, 2, &hour) || !TakeChar(text, ':') || !TakeDigits(text, 2, &minute))
    return false;
  if (hour > 23 || minute > 59) return false;
  if (!TakeChar(text, ':')) return true;
  if (!TakeDigits(text, 2, &second) || second > 59) return false;
  if (TakeChar(text, '.') && TakeDigitRun(text) == 0) return false;
  return true;
}

// Z or +hh:mm / -hh:mm; absent is fine.
bool TakeOptionalZone(std::string_view& text) {
  if (TakeChar(text, 'Z')) return true;
  if (text.empty() || (text.front() != '+' && text.front() != '-')) return true;
  text.remove_prefix(1);
  int hour = 0, minute = 0;
  return TakeDigits(text, 2, &hour) && TakeChar(text, ':') && TakeDigits(text, 2, &minute) &&
         hour <= 14 && minute <= 59;
}

bool IsDateTime(std::string_view text, bool with_zone) {
  if (!TakeDate(text)) return false;
  if (TakeChar(text, 'T') && !TakeTime(text)) return false;
  if (with_zone && !TakeOptionalZone(text)) return false;
  return text.empty();
}

bool IsTime(std::string_view text, bool with_zone) {
  if (!TakeTime(text)) return false;
  if (with_zone && !TakeOptionalZone(text)) return false;
  return text.empty();
}

bool IsInteger(const Datatype& type, std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  unsigned long long magnitude = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    unsigned digit = static_cast<unsigned>(c - '0');
    if (magnitude > (ULLONG_MAX - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  if (!type.is_signed) {
    if (negative && magnitude != 0) return false;
    return type.bits >= 64 || magnitude <= (1ULL << type.bits) - 1;
  }
  unsigned long long positive_limit = (1ULL << (type.bits - 1)) - 1;
  return magnitude <= (negative ? positive_limit + 1 : positive_limit);
}

// [sign] digits [. digits] [e [sign] digits], at least one digit before the exponent.
bool IsNumber(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  size_t digits = TakeDigitRun(text);
  if (TakeChar(text, '.')) digits += TakeDigitRun(text);
  if (digits == 0) return false;
  if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (TakeDigitRun(text) == 0) return false;
  }
  return text.empty();
}

bool IsFixed14_4(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  size_t whole = TakeDigitRun(text);
  size_t fraction = 0;
  if (TakeChar(text, '.')) fraction = TakeDigitRun(text);
  return text.empty() && whole + fraction > 0 && whole <= 14 && fraction <= 4;
}

bool IsSingleCharacter(std::string_view text) {
  if (text.empty()) return false;
  unsigned char lead = static_cast<unsigned char>(text.front());
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 4;
  return text.size() == length;
}

bool IsUuid(std::string_view text) {
  size_t hex = 0;
  for (char c : text) {
    if (IsHexDigit(c)) ++hex;
    else if (c != '-') return false;
  }
  return hex == 32;
}

bool IsBinHex(std::string_view text) {
  for (char c : text)
    if (!IsHexDigit(c)) return false;
  return text.size() % 2 == 0;
}

bool IsBase64(std::string_view text) {
  size_t count = 0, padding = 0;
  for (char c : text) {
    if (IsXmlSpace(c)) continue;
    bool alphabet = std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/';
    if (c == '=') ++padding;
    else if (!alphabet || padding > 0) return false;  // nothing but '=' after padding starts
    ++count;
  }
  return count % 4 == 0 && padding <= 2;
}

struct IntegerName {
  const char* name;
  int bits;
  bool is_signed;
};
constexpr IntegerName kIntegerNames[] = {
    {"int", 32, true},  {"i1", 8, true},    {"i2", 16, true},   {"i4", 32, true},  {"i8", 64, true},
    {"ui1", 8, false},  {"ui2", 16, false}, {"ui4", 32, false}, {"ui8", 64, false},
};

struct SimpleName {
  const char* name;
  DatatypeKind kind;
};
constexpr SimpleName kSimpleNames[] = {
    {"string", DatatypeKind::kString},       {"uri", DatatypeKind::kString},
    {"id", DatatypeKind::kString},           {"idref", DatatypeKind::kString},
    {"idrefs", DatatypeKind::kString},       {"entity", DatatypeKind::kString},
    {"entities", DatatypeKind::kString},     {"notation", DatatypeKind::kString},
    {"nmtoken", DatatypeKind::kString},      {"nmtokens", DatatypeKind::kString},
    {"enumeration", DatatypeKind::kEnumeration},
    {"boolean", DatatypeKind::kBoolean},     {"char", DatatypeKind::kChar},
    {"number", DatatypeKind::kNumber},       {"float", DatatypeKind::kNumber},
    {"r4", DatatypeKind::kNumber},           {"r8", DatatypeKind::kNumber},
    {"fixed.14.4", DatatypeKind::kFixed14_4},
    {"date", DatatypeKind::kDate},           {"dateTime", DatatypeKind::kDateTime},
    {"dateTime.tz", DatatypeKind::kDateTimeTz},
    {"time", DatatypeKind::kTime},           {"time.tz", DatatypeKind::kTimeTz},
    {"uuid", DatatypeKind::kUuid},           {"bin.hex", DatatypeKind::kBinHex},
    {"bin.base64", DatatypeKind::kBinBase64},
};

}  // namespace

std::optional<Datatype> DatatypeFromName(std::string_view name) {
  Datatype type;
  type.name = std::string(name);
  for (const IntegerName& entry : kIntegerNames) {
    if (EqualsNoCase(name, entry.name)) {
      type.kind = DatatypeKind::kInteger;
      type.bits = entry.bits;
      type.is_signed = entry.is_signed;
      return type;
    }
  }
  for (const SimpleName& entry : kSimpleNames) {
    if (EqualsNoCase(name, entry.name)) {
      type.kind = entry.kind;
      return type;
    }
  }
  return std::nullopt;
}

std::vector<std::string> SplitValues(std::string_view values) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < values.size()) {
    while (i < values.size() && IsXmlSpace(values[i])) ++i;
    size_t start = i;
    while (i < values.size() && !IsXmlSpace(values[i])) ++i;
    if (i > start) tokens.emplace_back(values.substr(start, i - start));
  }
  return tokens;
}

bool IsValidValue(const Datatype& type, std::string_view text) {
  if (type.kind == DatatypeKind::kString) return true;
  text = Trim(text);
  switch (type.kind) {
    case DatatypeKind::kString: return true;
    case DatatypeKind::kEnumeration:
      for (const std::string& value : type.values)
        if (value == text) return true;
      return false;
    case DatatypeKind::kBoolean: return text == "0" || text == "1";
    case DatatypeKind::kChar: return IsSingleCharacter(text);
    case DatatypeKind::kInteger: return IsInteger(type, text);
    case DatatypeKind::kNumber: return IsNumber(text);
    case DatatypeKind::kFixed14_4: return IsFixed14_4(text);
    case DatatypeKind::kDate: return IsDateTime(text, false) && text.size() == 10;
    case DatatypeKind::kDateTime: return IsDateTime(text, false);
    case DatatypeKind::kDateTimeTz: return IsDateTime(text, true);
    case DatatypeKind::kTime: return IsTime(text, false);
    case DatatypeKind::kTimeTz: return IsTime(text, true);
    case DatatypeKind::kUuid: return IsUuid(text);
    case DatatypeKind::kBinHex: return IsBinHex(text);
    case DatatypeKind::kBinBase64: return IsBase64(text);
  }
  return false;
}

}  // namespace qzwin::msxml::xdr
