// A stream of script tokens that parsers read one at a time, looking one
// token ahead: the preprocessed script, or the tokens of one directive.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "script_error.h"
#include "script_lexer.h"

namespace qzrc {

class TokenSource {
 public:
  virtual ~TokenSource() = default;
  // The next token, or null at the end.
  const Token* Peek() { return pushedBack_ ? &*pushedBack_ : PeekNext(); }
  // Puts a token taken last back in front, for a second look ahead.
  void PushBack(Token token) { pushedBack_ = std::move(token); }
  // Takes the next token; at the end throws ScriptError naming `expected`.
  Token Take(const char* expected) {
    const Token* next = Peek();
    if (next == nullptr) throw Error(LastLine(), std::string("unexpected end of ") + EndName() + "; expected " + expected);
    Token token = *next;
    Skip();
    return token;
  }
  // Takes the next token if it is the punctuation or (any case) keyword `text`.
  bool Accept(const char* text);
  // Takes the next token if it is the punctuation `text`; throws otherwise.
  void Expect(const char* text);
  virtual const std::filesystem::path& File() const = 0;
  // The line of the next token, or of the last one at the end.
  int CurrentLine() {
    const Token* next = Peek();
    return next != nullptr ? next->line : LastLine();
  }
  ScriptError Error(int line, const std::string& message) const { return ScriptError(File(), line, message); }

 protected:
  virtual const Token* PeekNext() = 0;
  virtual void Advance() = 0;
  virtual int LastLine() const = 0;
  // What ends where the tokens end: "script", "line".
  virtual const char* EndName() const { return "script"; }

 private:
  void Skip() {
    if (pushedBack_) {
      pushedBack_.reset();
    } else {
      Advance();
    }
  }
  std::optional<Token> pushedBack_;
};

// Tokens held in a list, e.g. those of a directive line or a #define's value.
class TokenList : public TokenSource {
 public:
  TokenList(std::vector<Token> tokens, const std::filesystem::path& file, int line)
      : tokens_(std::move(tokens)), file_(file), line_(line) {}
  const std::filesystem::path& File() const override { return file_; }

 protected:
  const Token* PeekNext() override { return pos_ < tokens_.size() ? &tokens_[pos_] : nullptr; }
  void Advance() override { ++pos_; }
  int LastLine() const override { return line_; }
  const char* EndName() const override { return "line"; }

 private:
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  std::filesystem::path file_;
  int line_;
};

// `text` split into tokens that all carry `line`, the line it was written on.
TokenList TokensOfLine(const std::string& text, const std::filesystem::path& file, int line);

}  // namespace qzrc
