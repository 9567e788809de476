// Integer expressions of scripts and #if lines, with C's operators and
// precedence. Names stand for their #define (itself an expression) or, in
// scripts, for a built-in SDK constant; unsigned 32-bit arithmetic.
#pragma once

#include <cstdint>

#include "defines.h"
#include "token_source.h"

namespace qzrc {

struct Number {
  std::uint32_t value = 0;
  bool isLong = false;  // written with an L suffix: a DWORD in raw data
};

class Expression {
 public:
  enum class Mode {
    kStatement,  // unknown names are errors
    kDirective,  // #if: defined(X), unknown names are 0
  };
  Expression(const Defines& defines, Mode mode) : defines_(defines), mode_(mode) {}

  // A whole expression.
  Number Evaluate(TokenSource& source) const { return Binary(source, 0, 0); }
  // An expression that stops before a '|', for style lists with NOT.
  Number Operand(TokenSource& source) const;

  // Whether `token` can begin an expression.
  static bool Starts(const Token& token);

 private:
  Number Binary(TokenSource& source, int minLevel, int depth) const;
  Number Unary(TokenSource& source, int depth) const;
  Number Name(const Token& token, TokenSource& source, int depth) const;

  const Defines& defines_;
  Mode mode_;
};

}  // namespace qzrc
