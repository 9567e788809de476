#include "preprocessor.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "expression.h"
#include "script_error.h"
#include "script_paths.h"
#include "script_text.h"

namespace qzrc {
namespace {

namespace fs = std::filesystem;

// Headers including headers deeper than this are taken to include themselves.
constexpr int kMaxIncludeDepth = 16;

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// SDK headers that bring LANG_* and SUBLANG_* into a script.
bool DefinesLanguageNames(const std::string& header) {
  std::string name = Upper(header);
  return name == "WINDOWS.H" || name == "WINRES.H" || name == "WINRESRC.H" || name == "WINNT.H" || name == "AFXRES.H";
}

// Headers contribute their #define lines only, as with the Windows compiler.
bool IsHeaderFile(const fs::path& path) {
  std::string extension = Upper(path.extension().string());
  return extension == ".H" || extension == ".HPP" || extension == ".HH" || extension == ".C";
}

}  // namespace

Preprocessor::Preprocessor(const fs::path& script, ResourceScript* result)
    : script_(script), result_(result), codePage_(kCodePageUtf8) {
  std::string text;
  if (!ReadWholeFile(script_, &text)) throw ScriptError(script_, 1, "cannot read the resource script");
  result_->dependencies.push_back(script_);
  tokens_ = Tokenize(WithoutByteOrderMark(text, script_), script_);
}

const Token* Preprocessor::PeekNext() {
  while (pos_ < tokens_.size()) {
    const Token& token = tokens_[pos_];
    if (token.kind == Token::Kind::kDirective) {
      ++pos_;
      Directive(token.text, script_, token.line, true, 0, &conditions_);
    } else if (!Active(conditions_)) {
      ++pos_;
    } else {
      return &token;
    }
  }
  if (!conditions_.empty()) {
    throw ScriptError(script_, conditions_.back().line, "#if without #endif");
  }
  return nullptr;
}

void Preprocessor::Directive(const std::string& text, const fs::path& file, int line, bool strict, int depth,
                             Conditions* conditions) {
  std::istringstream in(text);
  std::string keyword;
  in >> keyword;
  std::string rest;
  std::getline(in, rest);
  rest = Trimmed(rest);

  if (keyword == "if" || keyword == "ifdef" || keyword == "ifndef") {
    bool parentActive = Active(*conditions);
    bool value = false;
    if (parentActive) {
      if (keyword == "if") {
        value = Evaluate(rest, file, line);
      } else {
        TokenList name = TokensOfLine(rest, file, line);
        Token word = name.Take("a name");
        if (word.kind != Token::Kind::kWord || name.Peek() != nullptr) {
          throw ScriptError(file, line, "#" + keyword + " needs one name");
        }
        value = defines_.IsDefined(word.text) == (keyword == "ifdef");
      }
    }
    conditions->push_back({parentActive, parentActive && value, !parentActive || value, false, line});
    return;
  }
  if (keyword == "elif" || keyword == "else" || keyword == "endif") {
    if (conditions->empty()) throw ScriptError(file, line, "#" + keyword + " without #if");
    Condition& condition = conditions->back();
    if (keyword == "endif") {
      conditions->pop_back();
      return;
    }
    if (condition.sawElse) throw ScriptError(file, line, "#" + keyword + " after #else");
    if (keyword == "else") {
      condition.sawElse = true;
      condition.active = !condition.anyTaken;
    } else {
      condition.active = !condition.anyTaken && Evaluate(rest, file, line);
    }
    condition.anyTaken = condition.anyTaken || condition.active;
    return;
  }
  if (!Active(*conditions)) return;

  if (keyword == "define") {
    Define(rest, file, line, strict);
  } else if (keyword == "undef") {
    defines_.Undefine(rest);
  } else if (keyword == "include") {
    Include(rest, file, line, depth);
  } else if (keyword == "pragma") {
    Pragma(rest, file, line);
  } else if (keyword == "error") {
    throw ScriptError(file, line, "#error " + rest);
  } else if (strict) {
    throw ScriptError(file, line, "#" + keyword + " is not supported");
  }
}

bool Preprocessor::Evaluate(const std::string& expression, const fs::path& file, int line) const {
  TokenList tokens = TokensOfLine(expression, file, line);
  if (tokens.Peek() == nullptr) throw ScriptError(file, line, "#if needs an expression");
  Number value = qzrc::Expression(defines_, Expression::Mode::kDirective).Evaluate(tokens);
  if (const Token* extra = tokens.Peek()) throw ScriptError(file, line, "unexpected '" + extra->text + "' in #if");
  return value.value != 0;
}

void Preprocessor::Define(const std::string& body, const fs::path& file, int line, bool strict) {
  std::size_t nameEnd = 0;
  while (nameEnd < body.size() && (std::isalnum(static_cast<unsigned char>(body[nameEnd])) || body[nameEnd] == '_')) {
    ++nameEnd;
  }
  if (nameEnd == 0) throw ScriptError(file, line, "#define needs a name");
  if (nameEnd < body.size() && body[nameEnd] == '(') {
    if (strict) throw ScriptError(file, line, "macros with parameters are not supported");
    return;
  }
  defines_.Define(body.substr(0, nameEnd), Trimmed(body.substr(nameEnd)));
}

void Preprocessor::Include(const std::string& target, const fs::path& from, int line, int depth) {
  if (target.size() >= 2 && target.front() == '<' && target.back() == '>') {
    // SDK headers; qzrc knows the few names from them that scripts use.
    if (DefinesLanguageNames(target.substr(1, target.size() - 2))) languageNamesIncluded_ = true;
    return;
  }
  if (target.size() < 3 || target.front() != '"' || target.back() != '"') {
    throw ScriptError(from, line, "#include needs a file name in quotes or angle brackets");
  }
  std::string written = target.substr(1, target.size() - 2);
  fs::path header = from.parent_path() / ScriptPathToPosix(written);
  std::error_code error;
  if (!fs::exists(header, error) && DefinesLanguageNames(written)) {
    // Editors write the SDK's headers in quotes; the Windows compiler finds them on its include path.
    languageNamesIncluded_ = true;
    return;
  }
  if (!IsHeaderFile(header)) {
    throw ScriptError(from, line, "cannot include '" + header.filename().string() +
                                      "': only headers (.h) are read, for their #define lines");
  }
  if (depth >= kMaxIncludeDepth) throw ScriptError(from, line, "#include nested too deeply (does it include itself?)");
  std::string text;
  if (!ReadWholeFile(header, &text)) throw ScriptError(from, line, "cannot open include file '" + header.string() + "'");
  result_->dependencies.push_back(header);
  Conditions conditions;
  for (const Token& token : Tokenize(WithoutByteOrderMark(text, header), header)) {
    if (token.kind == Token::Kind::kDirective) Directive(token.text, header, token.line, false, depth + 1, &conditions);
  }
  if (!conditions.empty()) throw ScriptError(header, conditions.back().line, "#if without #endif");
}

// code_page(N) sets how narrow strings are read; other pragmas change nothing here.
void Preprocessor::Pragma(const std::string& rest, const fs::path& file, int line) {
  TokenList tokens = TokensOfLine(rest, file, line);
  if (!tokens.Accept("code_page")) return;
  tokens.Expect("(");
  Token value = tokens.Take("a code page");
  tokens.Expect(")");
  if (Upper(value.text) == "DEFAULT") {
    codePage_ = kCodePageUtf8;
    return;
  }
  std::optional<std::uint32_t> codePage = ParseNumber(value.text);
  if (!codePage || !IsSupportedCodePage(*codePage)) {
    throw ScriptError(file, line, "code page " + value.text + " is not supported (1252 and 65001 are)");
  }
  codePage_ = *codePage;
}

}  // namespace qzrc
