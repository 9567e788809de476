#include "token_source.h"

#include <cctype>

namespace qzrc {

bool TokenSource::Accept(const char* text) {
  const Token* next = Peek();
  if (next == nullptr || next->kind == Token::Kind::kString || next->text.size() != std::char_traits<char>::length(text)) {
    return false;
  }
  for (std::size_t i = 0; i < next->text.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(next->text[i])) != std::toupper(static_cast<unsigned char>(text[i]))) {
      return false;
    }
  }
  Skip();
  return true;
}

void TokenSource::Expect(const char* text) {
  if (Accept(text)) return;
  const Token* next = Peek();
  if (next == nullptr) throw Error(LastLine(), std::string("unexpected end of ") + EndName() + "; expected '" + text + "'");
  throw Error(next->line, std::string("expected '") + text + "', found '" + next->text + "'");
}

TokenList TokensOfLine(const std::string& text, const std::filesystem::path& file, int line) {
  std::vector<Token> tokens = Tokenize(text, file);
  for (Token& token : tokens) token.line = line;
  return TokenList(std::move(tokens), file, line);
}

}  // namespace qzrc
