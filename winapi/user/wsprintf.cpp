// wsprintfA / wvsprintfA: Windows' own small printf. A conversion is
// %[-][#][0][width][.precision][size]type with size l, h, w, I, I32 or I64
// and type c C d i u x X s S p. There is no floating point and no '*'; a
// conversion of an unknown type prints the type character alone. The output
// is cut at 1,023 characters and always terminated.
#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

#include <winbase.h>
#include <winnls.h>
#include <winuser.h>

namespace {

constexpr size_t kOutputSize = 1024;  // bytes, terminator included

class Output {
 public:
  explicit Output(char* buffer) : buffer_(buffer) {}
  bool full() const { return used_ == kOutputSize - 1; }
  void Put(char c) {
    if (!full()) buffer_[used_++] = c;
  }
  void Put(std::string_view text) {
    for (char c : text) Put(c);
  }
  void Pad(char c, size_t count) {
    for (size_t i = 0; i < count; ++i) Put(c);
  }
  int Finish() {
    buffer_[used_] = '\0';
    return static_cast<int>(used_);
  }

 private:
  char* buffer_;
  size_t used_ = 0;
};

enum class Size { Default, Short, Long, Wide, Pointer, Int32, Int64 };

struct Conversion {
  bool leftAlign = false;
  bool hexPrefix = false;
  bool zeroPad = false;
  size_t width = 0;
  size_t precision = 0;
  bool hasPrecision = false;
  Size size = Size::Default;
  char type = 0;
};

size_t ReadNumber(const char*& p) {
  size_t value = 0;
  while (*p >= '0' && *p <= '9') {
    if (value < kOutputSize) value = value * 10 + static_cast<size_t>(*p - '0');  // more never fits anyway
    ++p;
  }
  return value;
}

// Reads the conversion after '%'; leaves p on its type character.
Conversion Parse(const char*& p) {
  Conversion c;
  if (*p == '-') c.leftAlign = true, ++p;
  if (*p == '#') c.hexPrefix = true, ++p;
  if (*p == '0') c.zeroPad = true, ++p;
  c.width = ReadNumber(p);
  if (*p == '.') {
    ++p;
    c.hasPrecision = true;
    c.precision = ReadNumber(p);
  }
  if (*p == 'l') {
    c.size = Size::Long, ++p;
  } else if (*p == 'h') {
    c.size = Size::Short, ++p;
  } else if (*p == 'w') {
    c.size = Size::Wide, ++p;
  } else if (*p == 'I') {
    if (p[1] == '6' && p[2] == '4') {
      c.size = Size::Int64, p += 3;
    } else if (p[1] == '3' && p[2] == '2') {
      c.size = Size::Int32, p += 3;
    } else {
      c.size = Size::Pointer, ++p;
    }
  }
  c.type = *p;
  return c;
}

// Wide text in the system code page.
std::string Narrow(const WCHAR* text, int length) {
  int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string result(bytes > 0 ? static_cast<size_t>(bytes) : 0, '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), bytes, nullptr, nullptr);
  return result;
}

void PutField(Output& out, const Conversion& c, std::string_view text) {
  size_t padding = c.width > text.size() ? c.width - text.size() : 0;
  if (!c.leftAlign) out.Pad(' ', padding);
  out.Put(text);
  if (c.leftAlign) out.Pad(' ', padding);
}

void PutNumber(Output& out, const Conversion& c, uint64_t magnitude, bool negative, bool hex, bool upper) {
  std::string digits;
  const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  unsigned base = hex ? 16 : 10;
  do {
    digits.insert(digits.begin(), symbols[magnitude % base]);
    magnitude /= base;
  } while (magnitude != 0);
  if (c.hasPrecision && digits.size() < c.precision) digits.insert(0, c.precision - digits.size(), '0');

  std::string prefix = negative ? "-" : "";
  if (hex && c.hexPrefix) prefix += upper ? "0X" : "0x";
  size_t length = prefix.size() + digits.size();
  // Zeros go between the sign or prefix and the digits; '-' turns them off.
  if (c.zeroPad && !c.leftAlign && c.width > length) digits.insert(0, c.width - length, '0');
  PutField(out, c, prefix + digits);
}

}  // namespace

EXTERN_C int WINAPI wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist) {
  if (lpOut == nullptr) return 0;
  Output out(lpOut);
  if (lpFmt == nullptr) return out.Finish();

  va_list args;
  va_copy(args, arglist);
  for (const char* p = lpFmt; *p != '\0' && !out.full(); ++p) {
    if (*p != '%') {
      out.Put(*p);
      continue;
    }
    ++p;
    if (*p == '\0') break;
    if (*p == '%') {
      out.Put('%');
      continue;
    }
    Conversion c = Parse(p);
    if (*p == '\0') break;
    bool wide = c.size == Size::Long || c.size == Size::Wide;
    switch (c.type) {
      case 'c':
      case 'C': {
        bool wideChar = c.type == 'c' ? wide : c.size != Size::Short;
        int value = va_arg(args, int);
        if (wideChar) {
          WCHAR unit = static_cast<WCHAR>(value);
          PutField(out, c, Narrow(&unit, 1));
        } else {
          char byte = static_cast<char>(value);
          PutField(out, c, std::string_view(&byte, 1));
        }
        break;
      }
      case 's':
      case 'S': {
        bool wideString = c.type == 's' ? wide : c.size != Size::Short;
        std::string text;
        if (wideString) {
          const WCHAR* value = va_arg(args, const WCHAR*);
          text = value != nullptr ? Narrow(value, -1) : "(null)";
          if (value != nullptr && !text.empty()) text.pop_back();  // the terminator
        } else {
          const char* value = va_arg(args, const char*);
          text = value != nullptr ? value : "(null)";
        }
        if (c.hasPrecision && c.precision < text.size()) text.resize(c.precision);
        PutField(out, c, text);
        break;
      }
      case 'd':
      case 'i':
      case 'u':
      case 'x':
      case 'X':
      case 'p': {
        bool isPointer = c.type == 'p';
        bool isSigned = c.type == 'd' || c.type == 'i';
        uint64_t bits;
        int64_t signedValue;
        if (isPointer || c.size == Size::Pointer) {
          auto value = va_arg(args, intptr_t);
          signedValue = value;
          bits = static_cast<uintptr_t>(value);
        } else if (c.size == Size::Int64) {
          auto value = va_arg(args, long long);
          signedValue = value;
          bits = static_cast<uint64_t>(value);
        } else {
          int value = va_arg(args, int);
          signedValue = value;
          bits = static_cast<unsigned>(value);
        }
        if (isPointer) {
          c.zeroPad = true;
          c.width = 2 * sizeof(void*);
        }
        bool negative = isSigned && signedValue < 0;
        uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(signedValue) : bits;
        bool hex = c.type == 'x' || c.type == 'X' || isPointer;
        PutNumber(out, c, magnitude, negative, hex, c.type != 'x');
        break;
      }
      default:  // not a conversion Windows knows: the character stands for itself
        out.Put(c.type);
        break;
    }
  }
  va_end(args);
  return out.Finish();
}

EXTERN_C int WINAPIV wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...) {
  va_list args;
  va_start(args, lpFmt);
  int written = wvsprintfA(lpOut, lpFmt, args);
  va_end(args);
  return written;
}
