#include "hive_format.h"

#include <winreg.h>

#include <cstdio>

#include "registry_text.h"

namespace qzwin::registry {
namespace {

constexpr std::string_view kHeader = "qzwin-registry 1";
constexpr char kHexDigits[] = "0123456789abcdef";

// ---- writing ----

void AppendEscaped(std::string* out, std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    bool high = unit >= 0xD800 && unit <= 0xDBFF;
    bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (high || low) {
      out->append("%u");
      for (int shift = 12; shift >= 0; shift -= 4) out->push_back(kHexDigits[(unit >> shift) & 0xF]);
    } else if (unit < 0x20 || unit == 0x7F || unit == u'%' || unit == u'"') {
      out->push_back('%');
      out->push_back(kHexDigits[unit >> 4]);
      out->push_back(kHexDigits[unit & 0xF]);
    } else {
      AppendUtf8(out, unit);
    }
  }
}

void AppendHex(std::string* out, const std::vector<BYTE>& data) {
  for (BYTE byte : data) {
    out->push_back(kHexDigits[byte >> 4]);
    out->push_back(kHexDigits[byte & 0xF]);
  }
}

const char* StringTypeName(DWORD type) {
  switch (type) {
    case REG_SZ:
      return "sz";
    case REG_EXPAND_SZ:
      return "expand_sz";
    case REG_MULTI_SZ:
      return "multi_sz";
    default:
      return nullptr;
  }
}

// Data that is whole UTF-16 units ending in a NUL unit.
bool IsTerminatedText(const std::vector<BYTE>& data) {
  return data.size() >= 2 && data.size() % 2 == 0 && data[data.size() - 1] == 0 && data[data.size() - 2] == 0;
}

void AppendValueData(std::string* out, const RegValue& value) {
  const char* stringType = StringTypeName(value.type);
  if (stringType != nullptr && IsTerminatedText(value.data)) {
    std::u16string text(value.data.size() / 2 - 1, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<char16_t>(value.data[2 * i] | (value.data[2 * i + 1] << 8));
    out->append(stringType).append(":\"");
    AppendEscaped(out, text);
    out->push_back('"');
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    char number[16];
    unsigned dword =
        value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) | (static_cast<unsigned>(value.data[3]) << 24);
    std::snprintf(number, sizeof number, "%08x", dword);
    out->append("dword:").append(number);
  } else if (value.type == REG_BINARY) {
    out->append("binary:");
    AppendHex(out, value.data);
  } else {
    out->append("hex(").append(std::to_string(value.type)).append("):");
    AppendHex(out, value.data);
  }
}

void AppendKey(std::string* out, const RegKey& key, std::string* path) {
  size_t pathLength = path->size();
  if (!path->empty()) path->push_back('\\');
  AppendEscaped(path, key.name);
  out->push_back('[');
  out->append(*path);
  out->append("]\n");
  for (const RegValue& value : key.values) {
    if (value.name.empty()) {
      out->push_back('@');
    } else {
      out->push_back('"');
      AppendEscaped(out, value.name);
      out->push_back('"');
    }
    out->push_back('=');
    AppendValueData(out, value);
    out->push_back('\n');
  }
  for (const RegKey& subkey : key.subkeys) AppendKey(out, subkey, path);
  path->resize(pathLength);
}

// ---- reading ----

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHexNumber(std::string_view digits, unsigned long* value) {
  if (digits.empty()) return false;
  *value = 0;
  for (char c : digits) {
    int digit = HexDigit(c);
    if (digit < 0) return false;
    *value = *value * 16 + static_cast<unsigned>(digit);
  }
  return true;
}

// Decodes escaped text: runs of UTF-8 between %XX / %uXXXX escapes.
bool Unescape(std::string_view text, std::u16string* out) {
  out->clear();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t escape = text.find('%', pos);
    if (escape == std::string_view::npos) escape = text.size();
    if (!DecodeUtf8Strict(text.substr(pos, escape - pos), out)) return false;
    if (escape == text.size()) break;
    bool wide = escape + 1 < text.size() && text[escape + 1] == 'u';  // %uXXXX, else %XX
    size_t first = escape + (wide ? 2 : 1);
    size_t digits = wide ? 4 : 2;
    unsigned long unit;
    if (first + digits > text.size() || !ParseHexNumber(text.substr(first, digits), &unit)) return false;
    pos = first + digits;
    out->push_back(static_cast<char16_t>(unit));
  }
  return true;
}

bool ParseHexBytes(std::string_view digits, std::vector<BYTE>* data) {
  if (digits.size() % 2 != 0) return false;
  data->clear();
  for (size_t i = 0; i < digits.size(); i += 2) {
    int high = HexDigit(digits[i]);
    int low = HexDigit(digits[i + 1]);
    if (high < 0 || low < 0) return false;
    data->push_back(static_cast<BYTE>(high * 16 + low));
  }
  return true;
}

bool ParseValueData(std::string_view text, RegValue* value, std::string* error) {
  size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    *error = "value without a type";
    return false;
  }
  std::string_view type = text.substr(0, colon);
  std::string_view payload = text.substr(colon + 1);
  if (type == "sz" || type == "expand_sz" || type == "multi_sz") {
    value->type = type == "sz" ? REG_SZ : type == "expand_sz" ? REG_EXPAND_SZ : REG_MULTI_SZ;
    std::u16string decoded;
    if (payload.size() < 2 || payload.front() != '"' || payload.back() != '"' ||
        !Unescape(payload.substr(1, payload.size() - 2), &decoded)) {
      *error = "bad string data";
      return false;
    }
    decoded.push_back(u'\0');
    value->data.clear();
    for (char16_t unit : decoded) {
      value->data.push_back(static_cast<BYTE>(unit & 0xFF));
      value->data.push_back(static_cast<BYTE>(unit >> 8));
    }
    return true;
  }
  if (type == "dword") {
    unsigned long dword;
    if (payload.size() != 8 || !ParseHexNumber(payload, &dword)) {
      *error = "bad dword data";
      return false;
    }
    value->type = REG_DWORD;
    value->data = {static_cast<BYTE>(dword), static_cast<BYTE>(dword >> 8), static_cast<BYTE>(dword >> 16),
                   static_cast<BYTE>(dword >> 24)};
    return true;
  }
  if (type == "binary") {
    value->type = REG_BINARY;
  } else if (type.size() > 5 && type.substr(0, 4) == "hex(" && type.back() == ')') {
    std::string_view number = type.substr(4, type.size() - 5);
    unsigned long parsed = 0;
    for (char c : number) {
      if (c < '0' || c > '9' || parsed > 0xFFFFFFFFul / 10) {
        *error = "bad value type";
        return false;
      }
      parsed = parsed * 10 + static_cast<unsigned>(c - '0');
    }
    if (number.empty() || parsed > 0xFFFFFFFFul) {
      *error = "bad value type";
      return false;
    }
    value->type = static_cast<DWORD>(parsed);
  } else {
    *error = "unknown value type";
    return false;
  }
  if (!ParseHexBytes(payload, &value->data)) {
    *error = "bad hex data";
    return false;
  }
  return true;
}

// "[root\a\b]" -> the key, created with its parents as needed.
RegKey* ParseKeyLine(std::string_view inner, Hive* hive, std::string* error) {
  std::u16string path;
  if (!Unescape(inner, &path)) {
    *error = "bad key name";
    return nullptr;
  }
  std::vector<std::u16string> names;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = path.find(u'\\', pos);
    if (end == std::u16string::npos) end = path.size();
    names.push_back(path.substr(pos, end - pos));
    pos = end + 1;
  }
  RegKey* key = nullptr;
  for (int i = 0; i < kRootCount; ++i) {
    if (names[0] == kRootNames[i]) key = &hive->roots[i];
  }
  if (key == nullptr) {
    *error = "unknown root key";
    return nullptr;
  }
  for (size_t i = 1; i < names.size(); ++i) {
    if (names[i].empty() || names[i].size() > kMaxKeyNameLength) {
      *error = "bad key name";
      return nullptr;
    }
    std::u16string folded = FoldName(names[i]);
    RegKey* next = key->FindSubkey(folded);
    key = next != nullptr ? next : &key->AddSubkey(names[i], 0);
  }
  return key;
}

bool ParseValueLine(std::string_view line, RegKey* key, std::string* error) {
  RegValue value;
  std::string_view rest;
  if (line.substr(0, 2) == "@=") {
    rest = line.substr(2);
  } else {
    size_t close = line.find('"', 1);
    if (close == std::string_view::npos || close + 1 >= line.size() || line[close + 1] != '=' ||
        !Unescape(line.substr(1, close - 1), &value.name) || value.name.empty()) {
      *error = "bad value name";
      return false;
    }
    rest = line.substr(close + 2);
  }
  if (!ParseValueData(rest, &value, error)) return false;
  key->SetValue(value.name, value.type, std::move(value.data));
  return true;
}

}  // namespace

std::string FormatHive(const Hive& hive) {
  std::string out(kHeader);
  out.push_back('\n');
  for (const RegKey& root : hive.roots) {
    if (root.values.empty() && root.subkeys.empty()) continue;
    std::string path;
    AppendKey(&out, root, &path);
  }
  return out;
}

bool ParseHive(std::string_view text, Hive* hive, std::string* error) {
  *hive = Hive();
  RegKey* current = nullptr;
  size_t lineNumber = 0;
  size_t pos = 0;
  std::string reason;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    bool ok = true;
    if (lineNumber == 1) {
      ok = line == kHeader;
      if (!ok) reason = "not a registry file (no header)";
    } else if (line.empty() || line.front() == ';') {
      continue;
    } else if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      current = ParseKeyLine(line.substr(1, line.size() - 2), hive, &reason);
      ok = current != nullptr;
    } else if (line.front() == '@' || line.front() == '"') {
      ok = current != nullptr && ParseValueLine(line, current, &reason);
      if (current == nullptr) reason = "value outside a key";
    } else {
      ok = false;
      reason = "unreadable line";
    }
    if (!ok) {
      *error = "line " + std::to_string(lineNumber) + ": " + reason;
      return false;
    }
  }
  if (lineNumber == 0) {
    *error = "empty file";
    return false;
  }
  return true;
}

}  // namespace qzwin::registry
