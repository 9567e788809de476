#include "scalar.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

namespace qzwin::oleaut {

namespace {

bool IsSpace(OLECHAR c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool IsDigit(OLECHAR c) { return c >= '0' && c <= '9'; }

// The text up to the first NUL, without surrounding white space.
void Trim(const OLECHAR* text, UINT length, UINT* begin, UINT* end) {
  UINT n = 0;
  while (n < length && text[n] != 0) ++n;
  UINT b = 0;
  while (b < n && IsSpace(text[b])) ++b;
  while (n > b && IsSpace(text[n - 1])) --n;
  *begin = b;
  *end = n;
}

// Room for a double in "%.17G" form or a 64-bit integer with its sign.
constexpr size_t kNumberTextSize = 32;

BSTR WidenAscii(const char* text, size_t length) {
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (out == nullptr) return nullptr;
  for (size_t i = 0; i < length; ++i) out[i] = static_cast<OLECHAR>(text[i]);
  return out;
}

}  // namespace

bool Scalar::IsZero() const {
  switch (kind) {
    case Kind::Signed:
      return s == 0;
    case Kind::Unsigned:
      return u == 0;
    case Kind::Real:
      return d == 0;
  }
  return true;
}

HRESULT ParseScalar(const OLECHAR* text, UINT length, Scalar* out) {
  UINT i = 0;
  UINT end = 0;
  if (text != nullptr) Trim(text, length, &i, &end);

  // The number is rebuilt in plain ASCII ("-123.45e6") for from_chars.
  std::string plain;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool sawDigit = false;
  bool integral = true;
  for (; i < end; ++i) {
    if (IsDigit(text[i])) {
      plain += static_cast<char>(text[i]);
      sawDigit = true;
    } else if (text[i] == ',' && sawDigit) {
      continue;
    } else {
      break;
    }
  }
  if (i < end && text[i] == '.') {
    integral = false;
    plain += '.';
    for (++i; i < end && IsDigit(text[i]); ++i) {
      plain += static_cast<char>(text[i]);
      sawDigit = true;
    }
  }
  if (!sawDigit) return DISP_E_TYPEMISMATCH;
  bool negativeExponent = false;
  if (i < end && (text[i] == 'e' || text[i] == 'E')) {
    integral = false;
    plain += 'e';
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
      negativeExponent = text[i] == '-';
      plain += static_cast<char>(text[i]);
      ++i;
    }
    if (i >= end || !IsDigit(text[i])) return DISP_E_TYPEMISMATCH;
    for (; i < end && IsDigit(text[i]); ++i) plain += static_cast<char>(text[i]);
  }
  if (i != end) return DISP_E_TYPEMISMATCH;

  const char* first = plain.data();
  const char* last = first + plain.size();
  if (integral) {
    uint64_t magnitude = 0;
    auto [ptr, ec] = std::from_chars(first, last, magnitude);
    if (ec == std::errc() && ptr == last) {
      if (!negative) {
        *out = magnitude <= INT64_MAX ? Scalar::Signed(static_cast<int64_t>(magnitude)) : Scalar::Unsigned(magnitude);
        return S_OK;
      }
      if (magnitude <= uint64_t{INT64_MAX} + 1) {
        *out = Scalar::Signed(static_cast<int64_t>(0 - magnitude));
        return S_OK;
      }
    }
    // Too large for 64 bits: carried on as a double, which overflows any
    // integer target.
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec == std::errc::result_out_of_range) {
    if (!negativeExponent) return DISP_E_OVERFLOW;
    value = 0;  // below the smallest double: as good as zero
  } else if (ec != std::errc() || ptr != last) {
    return DISP_E_TYPEMISMATCH;
  }
  *out = Scalar::Real(negative ? -value : value);
  return S_OK;
}

bool ParseBoolName(const OLECHAR* text, UINT length, bool* value) {
  if (text == nullptr) return false;
  UINT b = 0;
  UINT e = 0;
  Trim(text, length, &b, &e);
  auto equals = [&](const char* name) {
    UINT i = b;
    for (; *name != 0; ++name, ++i) {
      if (i >= e || text[i] > 0x7F || std::tolower(static_cast<int>(text[i])) != *name) return false;
    }
    return i == e;
  };
  if (equals("true")) {
    *value = true;
    return true;
  }
  if (equals("false")) {
    *value = false;
    return true;
  }
  return false;
}

BSTR FormatScalar(const Scalar& value, int significantDigits) {
  char buffer[kNumberTextSize];
  char* const end = buffer + sizeof buffer;
  std::to_chars_result result{};
  switch (value.kind) {
    case Scalar::Kind::Signed:
      result = std::to_chars(buffer, end, value.s);
      break;
    case Scalar::Kind::Unsigned:
      result = std::to_chars(buffer, end, value.u);
      break;
    case Scalar::Kind::Real: {
      const double d = value.d == 0 ? 0.0 : value.d;  // no "-0"
      result = std::to_chars(buffer, end, d, std::chars_format::general, significantDigits);
      for (char* c = buffer; c < result.ptr; ++c) {
        if (*c == 'e') *c = 'E';
      }
      break;
    }
  }
  if (result.ec != std::errc()) return nullptr;
  return WidenAscii(buffer, static_cast<size_t>(result.ptr - buffer));
}

}  // namespace qzwin::oleaut
