#include "script_lexer.h"

#include <cctype>

#include "script_error.h"

namespace qzrc {
namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Replaces comments by blanks (keeping line breaks, so lines keep their
// numbers) and leaves strings untouched.
std::string StripComments(const std::string& text, const std::filesystem::path& file) {
  std::string out;
  out.reserve(text.size());
  int line = 1;
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '"') {
      std::size_t end = i + 1;
      while (end < text.size() && text[end] != '\n' && text[end] != '"') {
        bool escape = text[end] == '\\' && end + 1 < text.size() && text[end + 1] != '\n';
        end += escape ? 2 : 1;
      }
      if (end < text.size() && text[end] == '"') ++end;
      out.append(text, i, end - i);
      i = end;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      std::size_t close = text.find("*/", i + 2);
      if (close == std::string::npos) throw ScriptError(file, line, "comment opened with /* is never closed");
      for (std::size_t k = i; k < close + 2; ++k) {
        if (text[k] == '\n') {
          out += '\n';
          ++line;
        }
      }
      out += ' ';
      i = close + 2;
    } else {
      if (c == '\n') ++line;
      out += c;
      ++i;
    }
  }
  return out;
}

// The text between the quotes that start at text[start]; "" stands for one
// quote. Backslashes are kept as written.
std::string ReadString(const std::string& text, std::size_t* pos, const std::filesystem::path& file, int line) {
  std::string value;
  std::size_t i = *pos + 1;
  for (;;) {
    if (i >= text.size() || text[i] == '\n') throw ScriptError(file, line, "string is not closed on its line");
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        value += '"';
        i += 2;
        continue;
      }
      *pos = i + 1;
      return value;
    }
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') value += text[i++];
    value += text[i++];
  }
}

}  // namespace

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::vector<Token> Tokenize(const std::string& source, const std::filesystem::path& file) {
  const std::string text = StripComments(source, file);
  std::vector<Token> tokens;
  int line = 1;
  bool lineStart = true;
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '\n') {
      ++line;
      lineStart = true;
      ++i;
    } else if (IsBlank(c)) {
      ++i;
    } else if (c == '#' && lineStart) {
      // A directive runs to the end of its line; a backslash continues it.
      std::string directive;
      int directiveLine = line;
      ++i;
      while (i < text.size() && text[i] != '\n') {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\n') {
          directive += ' ';
          ++line;
          i += 2;
          continue;
        }
        directive += text[i++];
      }
      tokens.push_back({Token::Kind::kDirective, directive, directiveLine});
    } else if (c == '"') {
      std::string value = ReadString(text, &i, file, line);
      tokens.push_back({Token::Kind::kString, value, line});
      lineStart = false;
    } else if ((c == 'L' || c == 'l') && i + 1 < text.size() && text[i + 1] == '"' &&
               (i == 0 || !IsWordChar(text[i - 1]))) {
      ++i;
      std::string value = ReadString(text, &i, file, line);
      tokens.push_back({Token::Kind::kString, value, line, true});
      lineStart = false;
    } else if (IsWordChar(c)) {
      std::size_t start = i;
      while (i < text.size() && IsWordChar(text[i])) ++i;
      tokens.push_back({Token::Kind::kWord, text.substr(start, i - start), line});
      lineStart = false;
    } else {
      tokens.push_back({Token::Kind::kPunct, std::string(1, c), line});
      lineStart = false;
      ++i;
    }
  }
  return tokens;
}

}  // namespace qzrc
