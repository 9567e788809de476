// Splits a resource script into tokens. Comments are dropped; a line whose
// first character other than blanks is '#' becomes one directive token.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qzrc {

struct Token {
  enum class Kind {
    kWord,       // letters, digits and '_': keywords, names, numbers
    kString,     // a quoted string, its text with "" turned into " and
                 // backslash escapes kept as written (see script_text.h)
    kPunct,      // any other single character
    kDirective,  // a preprocessor line without its '#', comments removed
  };
  Kind kind;
  std::string text;
  int line;
  bool wide = false;  // a string written L"..."
};

// Keywords are case-insensitive; they are compared in upper case.
std::string Upper(std::string text);

// Throws ScriptError for an unterminated comment or string.
std::vector<Token> Tokenize(const std::string& text, const std::filesystem::path& file);

}  // namespace qzrc
