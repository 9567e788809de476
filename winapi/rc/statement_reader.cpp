#include "statement_reader.h"

#include "script_text.h"

namespace qzrc {

void StatementReader::Warn(int line, const std::string& message, const std::string& once) {
  if (!warned_.insert(once).second) return;
  warnings_->push_back(source_.File().string() + ":" + std::to_string(line) + ": warning: " + message);
}

std::uint16_t StatementReader::Word(const char* what) {
  int line = Line();
  std::uint32_t value = Value().value;
  if (!FitsInWord(value)) {
    throw Error(line, std::string(what) + " " + std::to_string(static_cast<std::int32_t>(value)) +
                          " does not fit in 16 bits");
  }
  return static_cast<std::uint16_t>(value & 0xFFFF);
}

std::int16_t StatementReader::Coordinate(const char* what) {
  int line = Line();
  auto value = static_cast<std::int32_t>(Value().value);
  if (value < -0x8000 || value > 0x7FFF) {
    throw Error(line, std::string(what) + " " + std::to_string(value) + " lies outside -32768..32767");
  }
  return static_cast<std::int16_t>(value);
}

StyleBits StatementReader::Style() {
  StyleBits bits;
  Expression expression(source_.defines(), Expression::Mode::kStatement);
  do {
    bool negated = Accept("NOT");
    std::uint32_t value = expression.Operand(source_).value;
    if (negated) {
      bits.set &= ~value;
      bits.cleared |= value;
    } else {
      bits.set |= value;
      bits.cleared &= ~value;
    }
  } while (Accept("|"));
  return bits;
}

Token StatementReader::StringToken(const char* what) {
  Token token = Take(what);
  if (token.kind != Token::Kind::kString) {
    throw Error(token.line, std::string("expected ") + what + " in quotes, found '" + token.text + "'");
  }
  return token;
}

std::u16string StatementReader::TextOf(const Token& token) {
  return StringText(token, source_.codePage(), source_.File());
}

std::string StatementReader::BytesOf(const Token& token) {
  return StringBytes(token, source_.codePage(), source_.File());
}

void StatementReader::Begin(const char* what) {
  if (Accept("BEGIN") || Accept("{")) return;
  Token token = Take("BEGIN");
  throw Error(token.line, std::string("expected BEGIN to open ") + what + ", found '" + token.text + "'");
}

bool StatementReader::End() { return Accept("END") || Accept("}"); }

}  // namespace qzrc
