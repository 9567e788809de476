// What the statement parsers share: the preprocessed script and the ways of
// reading numbers, texts, styles and BEGIN ... END blocks from it.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "expression.h"
#include "preprocessor.h"

namespace qzrc {

// A style as written: bits to set and bits to clear ("NOT WS_GROUP") from
// the statement's default style.
struct StyleBits {
  std::uint32_t set = 0;
  std::uint32_t cleared = 0;
  std::uint32_t Over(std::uint32_t defaults) const { return (defaults | set) & ~cleared; }
};

// Whether a value fits in 16 bits, as an unsigned or a negative signed number.
inline bool FitsInWord(std::uint32_t value) {
  auto asSigned = static_cast<std::int32_t>(value);
  return value <= 0xFFFF || (asSigned < 0 && asSigned >= -0x8000);
}

class StatementReader {
 public:
  StatementReader(Preprocessor& source, std::vector<std::string>* warnings) : source_(source), warnings_(warnings) {}

  Preprocessor& source() { return source_; }
  const Token* Peek() { return source_.Peek(); }
  Token Take(const char* expected) { return source_.Take(expected); }
  bool Accept(const char* text) { return source_.Accept(text); }
  void Expect(const char* text) { source_.Expect(text); }
  ScriptError Error(int line, const std::string& message) const { return source_.Error(line, message); }
  // Records "file:line: warning: message"; `once` gives each distinct key one warning.
  void Warn(int line, const std::string& message, const std::string& once);
  // The line of the next token, or of the last one at the end of the script.
  int Line() { return source_.CurrentLine(); }

  Number Value() { return Expression(source_.defines(), Expression::Mode::kStatement).Evaluate(source_); }
  // A value that must fit in 16 bits, signed or not, e.g. a coordinate or id.
  std::uint16_t Word(const char* what);
  std::int16_t Coordinate(const char* what);
  // A list of style values joined by '|', each perhaps preceded by NOT.
  StyleBits Style();

  // The next token, which must be a quoted string, as UTF-16 or raw bytes.
  Token StringToken(const char* what);
  std::u16string Text(const char* what) { return TextOf(StringToken(what)); }
  std::u16string TextOf(const Token& token);
  std::string BytesOf(const Token& token);

  // BEGIN or '{'; throws otherwise.
  void Begin(const char* what);
  // Takes END or '}' if it comes next.
  bool End();
  // Takes a comma if one comes next; rc allows leaving most of them out.
  void OptionalComma() { Accept(","); }

 private:
  Preprocessor& source_;
  std::vector<std::string>* warnings_;
  std::set<std::string> warned_;
};

}  // namespace qzrc
