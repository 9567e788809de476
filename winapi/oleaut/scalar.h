// A scalar VARIANT value on its way from one type to another, and its text
// form. Text is read and written in the invariant locale: '.' as decimal
// point, ',' as thousands separator.
#pragma once

#include <oleauto.h>

#include <cstdint>

namespace qzwin::oleaut {

struct Scalar {
  enum class Kind { Signed, Unsigned, Real };
  Kind kind = Kind::Signed;
  int64_t s = 0;
  uint64_t u = 0;
  double d = 0;

  static Scalar Signed(int64_t v) { return {Kind::Signed, v, 0, 0}; }
  static Scalar Unsigned(uint64_t v) { return {Kind::Unsigned, 0, v, 0}; }
  static Scalar Real(double v) { return {Kind::Real, 0, 0, v}; }
  bool IsZero() const;
};

// Reads a number: optional white space, an optional sign, digits with
// optional thousands separators, an optional fraction and exponent, optional
// white space. Reading stops at the first NUL. DISP_E_TYPEMISMATCH for text
// that is not such a number, DISP_E_OVERFLOW for one beyond a double.
HRESULT ParseScalar(const OLECHAR* text, UINT length, Scalar* out);

// "True"/"False" in any case, with surrounding white space; false if neither.
bool ParseBoolName(const OLECHAR* text, UINT length, bool* value);

// The decimal text of a value; doubles keep `significantDigits` digits and
// switch to "1E+20" form as Windows does for large and small magnitudes.
BSTR FormatScalar(const Scalar& value, int significantDigits);

}  // namespace qzwin::oleaut
