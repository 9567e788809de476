// Reads a registry script into its tree; see registry_script.h.
#include <cstring>

#include "registry_script.h"

namespace ATL {
namespace {

enum class TokenKind { End, Word, Quoted, OpenBlock, CloseBlock, Equals };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(const std::string& a, const char* b) {
  size_t length = std::strlen(b);
  if (a.size() != length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  // The next token without taking it. False for an unterminated quote.
  bool Peek(Token* token) {
    if (!peeked_) {
      if (!Read(&next_)) return false;
      peeked_ = true;
    }
    *token = next_;
    return true;
  }
  bool Next(Token* token) {
    if (!Peek(token)) return false;
    peeked_ = false;
    return true;
  }

 private:
  bool Read(Token* token) {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
    token->text.clear();
    if (at_ == text_.size()) {
      token->kind = TokenKind::End;
      return true;
    }
    char c = text_[at_];
    if (c == '}' || c == '=') {
      token->kind = c == '}' ? TokenKind::CloseBlock : TokenKind::Equals;
      token->text = c;
      ++at_;
      return true;
    }
    if (c == '{' && (at_ + 1 == text_.size() || IsBlank(text_[at_ + 1]))) {
      token->kind = TokenKind::OpenBlock;
      token->text = c;
      ++at_;
      return true;
    }
    if (c == '\'') return ReadQuoted(token);
    token->kind = TokenKind::Word;
    while (at_ < text_.size() && !IsBlank(text_[at_])) token->text.push_back(text_[at_++]);
    return true;
  }

  bool ReadQuoted(Token* token) {
    token->kind = TokenKind::Quoted;
    ++at_;  // the opening quote
    while (at_ < text_.size()) {
      char c = text_[at_++];
      if (c != '\'') {
        token->text.push_back(c);
      } else if (at_ < text_.size() && text_[at_] == '\'') {
        token->text.push_back('\'');
        ++at_;
      } else {
        return true;
      }
    }
    return false;
  }

  std::string_view text_;
  size_t at_ = 0;
  bool peeked_ = false;
  Token next_;
};

HKEY RootKey(const std::string& name) {
  struct Root {
    const char* shortName;
    const char* longName;
    HKEY key;
  };
  static const Root roots[] = {
      {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
      {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {"HKU", "HKEY_USERS", HKEY_USERS},
  };
  for (const Root& root : roots) {
    if (SameWord(name, root.shortName) || SameWord(name, root.longName)) return root.key;
  }
  return NULL;
}

bool IsNameToken(const Token& token) { return token.kind == TokenKind::Word || token.kind == TokenKind::Quoted; }

bool IsKeyword(const Token& token, const char* keyword) {
  return token.kind == TokenKind::Word && SameWord(token.text, keyword);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Decimal, or hexadecimal after "0x"; the whole text, within 32 bits.
bool ParseDword(const std::string& text, DWORD* value) {
  bool hex = text.size() > 2 && text[0] == '0' && Lower(text[1]) == 'x';
  size_t start = hex ? 2 : 0;
  if (text.size() == start) return false;
  unsigned long long result = 0;
  for (size_t i = start; i < text.size(); ++i) {
    int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return false;
    result = result * (hex ? 16 : 10) + static_cast<unsigned>(digit);
    if (result > 0xFFFFFFFFull) return false;
  }
  *value = static_cast<DWORD>(result);
  return true;
}

bool ParseBinary(const std::string& text, std::string* bytes) {
  if (text.size() % 2 != 0) return false;
  for (size_t i = 0; i < text.size(); i += 2) {
    int high = HexDigit(text[i]);
    int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes->push_back(static_cast<char>(high * 16 + low));
  }
  return true;
}

// The strings of a multi-string value are separated by the two characters \0.
std::string MultiString(const std::string& text) {
  std::string data;
  size_t from = 0;
  for (;;) {
    size_t separator = text.find("\\0", from);
    data.append(text, from, separator == std::string::npos ? std::string::npos : separator - from);
    data.push_back('\0');
    if (separator == std::string::npos) break;
    from = separator + 2;
  }
  data.push_back('\0');
  return data;
}

class Parser {
 public:
  explicit Parser(std::string_view script) : lexer_(script) {}

  bool ParseRoots(std::vector<RegistryScriptRoot>* roots) {
    for (;;) {
      Token token;
      if (!lexer_.Next(&token)) return false;
      if (token.kind == TokenKind::End) return true;
      RegistryScriptRoot root;
      root.key = token.kind == TokenKind::Word ? RootKey(token.text) : NULL;
      if (root.key == NULL) return false;
      if (!lexer_.Next(&token) || token.kind != TokenKind::OpenBlock) return false;
      if (!ParseBlock(&root.entries, 1)) return false;
      roots->push_back(std::move(root));
    }
  }

 private:
  // The entries of a block up to and including its "}".
  bool ParseBlock(std::vector<RegistryScriptEntry>* entries, size_t depth) {
    if (depth > kRegistryScriptMaxDepth) return false;
    for (;;) {
      Token token;
      if (!lexer_.Next(&token)) return false;
      if (token.kind == TokenKind::CloseBlock) return true;
      RegistryScriptEntry entry;
      if (IsKeyword(token, "NoRemove")) {
        entry.flag = RegistryKeyFlag::NoRemove;
      } else if (IsKeyword(token, "ForceRemove")) {
        entry.flag = RegistryKeyFlag::ForceRemove;
      } else if (IsKeyword(token, "Delete")) {
        entry.flag = RegistryKeyFlag::Delete;
      }
      if (entry.flag != RegistryKeyFlag::None && !lexer_.Next(&token)) return false;
      bool parsed = IsKeyword(token, "val") ? ParseNamedValue(&entry) : ParseKey(token, &entry, depth);
      if (!parsed) return false;
      entries->push_back(std::move(entry));
    }
  }

  bool ParseNamedValue(RegistryScriptEntry* entry) {
    if (entry->flag != RegistryKeyFlag::None && entry->flag != RegistryKeyFlag::NoRemove) return false;
    Token token;
    if (!lexer_.Next(&token) || !IsNameToken(token)) return false;
    entry->isNamedValue = true;
    entry->name = token.text;
    if (!lexer_.Next(&token) || token.kind != TokenKind::Equals) return false;
    entry->hasValue = true;
    return ParseValue(&entry->value);
  }

  bool ParseKey(const Token& name, RegistryScriptEntry* entry, size_t depth) {
    if (!IsNameToken(name) || name.text.empty() || name.text.find('\\') != std::string::npos) return false;
    entry->name = name.text;
    Token token;
    if (!lexer_.Peek(&token)) return false;
    if (token.kind == TokenKind::Equals) {
      lexer_.Next(&token);
      entry->hasValue = true;
      if (!ParseValue(&entry->value)) return false;
      if (!lexer_.Peek(&token)) return false;
    }
    if (token.kind != TokenKind::OpenBlock) return true;
    lexer_.Next(&token);
    return ParseBlock(&entry->children, depth + 1);
  }

  // "<type> <text>" after an "=".
  bool ParseValue(RegistryScriptValue* value) {
    Token type;
    Token text;
    if (!lexer_.Next(&type) || type.kind != TokenKind::Word) return false;
    if (!lexer_.Next(&text) || !IsNameToken(text)) return false;
    if (SameWord(type.text, "s")) {
      value->type = REG_SZ;
      value->data = text.text;
      value->data.push_back('\0');
      return true;
    }
    if (SameWord(type.text, "d")) {
      DWORD number = 0;
      if (!ParseDword(text.text, &number)) return false;
      value->type = REG_DWORD;
      value->data.assign(reinterpret_cast<const char*>(&number), sizeof(number));
      return true;
    }
    if (SameWord(type.text, "b")) {
      value->type = REG_BINARY;
      return ParseBinary(text.text, &value->data);
    }
    if (SameWord(type.text, "m")) {
      value->type = REG_MULTI_SZ;
      value->data = MultiString(text.text);
      return true;
    }
    return false;
  }

  Lexer lexer_;
};

}  // namespace

HRESULT ParseRegistryScript(std::string_view script, std::vector<RegistryScriptRoot>* roots) {
  std::vector<RegistryScriptRoot> parsed;
  if (!Parser(script).ParseRoots(&parsed)) return DISP_E_EXCEPTION;
  *roots = std::move(parsed);
  return S_OK;
}

HRESULT ExpandRegistryScript(std::string_view script, const std::vector<RegistryReplacement>& replacements,
                             std::string* expanded) {
  std::string result;
  result.reserve(script.size());
  size_t at = 0;
  while (at < script.size()) {
    size_t percent = script.find('%', at);
    if (percent == std::string_view::npos) {
      result.append(script.substr(at));
      break;
    }
    result.append(script.substr(at, percent - at));
    size_t close = script.find('%', percent + 1);
    if (close == std::string_view::npos) return DISP_E_EXCEPTION;
    std::string name(script.substr(percent + 1, close - percent - 1));
    if (name.empty()) {
      result.push_back('%');
    } else {
      const RegistryReplacement* found = nullptr;
      for (const RegistryReplacement& replacement : replacements) {
        if (SameWord(name, replacement.name.c_str())) {
          found = &replacement;
          break;
        }
      }
      if (found == nullptr) return DISP_E_EXCEPTION;
      result += found->text;
    }
    at = close + 1;
  }
  *expanded = std::move(result);
  return S_OK;
}

}  // namespace ATL
