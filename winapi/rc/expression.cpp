#include "expression.h"

#include <cctype>
#include <optional>

#include "builtin_names.h"

namespace qzrc {
namespace {

// Names whose #define refers to further names, nested parentheses, chains of
// unary operators: deeper than this is taken for a cycle.
constexpr int kMaxDepth = 64;
// Binding levels, loosest first; Binary() reads levels >= its minimum.
constexpr int kLevelBar = 2;  // '|'

// The level of a binary operator at the front of `source`, and its length.
int LevelOf(const std::string& first, const Token* second, int* length) {
  *length = 1;
  std::string two = first + (second != nullptr && second->kind == Token::Kind::kPunct ? second->text : "");
  if (two == "||") return *length = 2, 0;
  if (two == "&&") return *length = 2, 1;
  if (two == "==" || two == "!=") return *length = 2, 5;
  if (two == "<=" || two == ">=") return *length = 2, 6;
  if (two == "<<" || two == ">>") return *length = 2, 7;
  if (first == "|") return kLevelBar;
  if (first == "^") return 3;
  if (first == "&") return 4;
  if (first == "<" || first == ">") return 6;
  if (first == "+" || first == "-") return 8;
  if (first == "*" || first == "/" || first == "%") return 9;
  return -1;
}

std::uint32_t Apply(const std::string& op, std::uint32_t a, std::uint32_t b, TokenSource& source, int line) {
  if ((op == "/" || op == "%") && b == 0) throw source.Error(line, "division by zero");
  if (op == "||") return (a != 0 || b != 0) ? 1 : 0;
  if (op == "&&") return (a != 0 && b != 0) ? 1 : 0;
  if (op == "==") return a == b ? 1 : 0;
  if (op == "!=") return a != b ? 1 : 0;
  if (op == "<=") return static_cast<std::int32_t>(a) <= static_cast<std::int32_t>(b) ? 1 : 0;
  if (op == ">=") return static_cast<std::int32_t>(a) >= static_cast<std::int32_t>(b) ? 1 : 0;
  if (op == "<") return static_cast<std::int32_t>(a) < static_cast<std::int32_t>(b) ? 1 : 0;
  if (op == ">") return static_cast<std::int32_t>(a) > static_cast<std::int32_t>(b) ? 1 : 0;
  if (op == "<<") return b >= 32 ? 0 : a << b;
  if (op == ">>") return b >= 32 ? 0 : a >> b;
  if (op == "|") return a | b;
  if (op == "^") return a ^ b;
  if (op == "&") return a & b;
  if (op == "+") return a + b;
  if (op == "-") return a - b;
  if (op == "*") return a * b;
  if (op == "/") return a / b;
  return a % b;
}

bool HasLongSuffix(const std::string& word) {
  for (auto it = word.rbegin(); it != word.rend() && std::isalpha(static_cast<unsigned char>(*it)); ++it) {
    if (*it == 'L' || *it == 'l') return true;
  }
  return false;
}

}  // namespace

bool Expression::Starts(const Token& token) {
  if (token.kind == Token::Kind::kWord) return true;
  return token.kind == Token::Kind::kPunct &&
         (token.text == "(" || token.text == "-" || token.text == "+" || token.text == "~" || token.text == "!");
}

Number Expression::Operand(TokenSource& source) const { return Binary(source, kLevelBar + 1, 0); }

Number Expression::Binary(TokenSource& source, int minLevel, int depth) const {
  Number left = Unary(source, depth);
  for (;;) {
    const Token* next = source.Peek();
    if (next == nullptr || next->kind != Token::Kind::kPunct || next->text == "," || next->text == ")" ||
        next->text == "{" || next->text == "}") {
      return left;
    }
    Token op = *next;
    int length = 0;
    // Look one further for two-character operators.
    source.Take("an operator");
    const Token* after = source.Peek();
    int level = LevelOf(op.text, after, &length);
    if (level < minLevel) {
      source.PushBack(std::move(op));
      return left;
    }
    std::string text = op.text;
    if (length == 2) text += source.Take("an operator").text;
    Number right = Binary(source, level + 1, depth + 1);
    left.value = Apply(text, left.value, right.value, source, op.line);
    left.isLong = left.isLong || right.isLong;
  }
}

Number Expression::Unary(TokenSource& source, int depth) const {
  Token token = source.Take("a number");
  if (depth > kMaxDepth) throw source.Error(token.line, "expression nested too deeply (does a #define use itself?)");
  if (token.kind == Token::Kind::kPunct) {
    if (token.text == "(") {
      Number inner = Binary(source, 0, depth + 1);
      Token close = source.Take("')'");
      if (close.text != ")") throw source.Error(close.line, "expected ')', found '" + close.text + "'");
      return inner;
    }
    Number operand = Unary(source, depth + 1);
    if (token.text == "-") return {0u - operand.value, operand.isLong};
    if (token.text == "+") return operand;
    if (token.text == "~") return {~operand.value, operand.isLong};
    if (token.text == "!") return {operand.value == 0 ? 1u : 0u, operand.isLong};
  }
  if (token.kind != Token::Kind::kWord) {
    std::string shown = token.kind == Token::Kind::kString ? "\"" + token.text + "\"" : token.text;
    throw source.Error(token.line, "expected a number, found '" + shown + "'");
  }
  if (std::isdigit(static_cast<unsigned char>(token.text[0]))) {
    std::optional<std::uint32_t> value = ParseNumber(token.text);
    if (!value) throw source.Error(token.line, "'" + token.text + "' is not a number");
    return {*value, HasLongSuffix(token.text)};
  }
  return Name(token, source, depth);
}

Number Expression::Name(const Token& token, TokenSource& source, int depth) const {
  if (mode_ == Mode::kDirective && token.text == "defined") {
    bool parenthesized = source.Accept("(");
    Token name = source.Take("a name after 'defined'");
    if (name.kind != Token::Kind::kWord) throw source.Error(name.line, "expected a name after 'defined'");
    if (parenthesized && !source.Accept(")")) throw source.Error(name.line, "expected ')' after defined(" + name.text);
    return {defines_.IsDefined(name.text) ? 1u : 0u, false};
  }
  if (const std::string* body = defines_.Value(token.text)) {
    if (body->empty()) {
      if (mode_ == Mode::kDirective) return {0, false};
      throw source.Error(token.line, "'" + token.text + "' is defined as nothing, not as a number");
    }
    TokenList tokens = TokensOfLine(*body, source.File(), token.line);
    Number value = Binary(tokens, 0, depth + 1);
    if (tokens.Peek() != nullptr) {
      throw source.Error(token.line, "'" + token.text + "' is defined as '" + *body + "', not as a number");
    }
    return value;
  }
  if (mode_ == Mode::kStatement) {
    if (auto builtin = BuiltinConstant(token.text)) return {*builtin, false};
    throw source.Error(token.line, "'" + token.text + "' is not a number or a #define of one");
  }
  return {0, false};  // as in C, unknown names in #if are 0
}

}  // namespace qzrc
