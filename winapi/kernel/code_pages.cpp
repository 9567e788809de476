// Conversions between the narrow code pages and UTF-16. Every narrow code
// page the stand-in knows is UTF-8: CP_UTF8 itself, and the system code pages
// (CP_ACP, CP_OEMCP, CP_THREAD_ACP) of a POSIX machine.
#include <winbase.h>
#include <winnls.h>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSystemCodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP;
}

// Collects output units and counts them; when it runs out of room it keeps
// counting, so the caller can tell "too small" from "done".
template <class Unit>
class Output {
 public:
  Output(Unit* buffer, int capacity) : buffer_(buffer), capacity_(capacity) {}

  // Writes all units or none, so a character is never cut in half.
  void Put(const Unit* units, int count) {
    if (capacity_ > 0 && written_ + count <= capacity_)
      for (int i = 0; i < count; ++i) buffer_[written_ + i] = units[i];
    else if (capacity_ > 0)
      overflow_ = true;
    written_ += count;
  }
  bool overflowed() const { return overflow_; }
  int count() const { return written_; }

 private:
  Unit* buffer_;
  int capacity_;  // 0: count only
  int written_ = 0;
  bool overflow_ = false;
};

// Decodes one UTF-8 character at text[at]. Returns the bytes used; for an
// ill-formed sequence *valid is false and the bytes are its maximal subpart
// (at least one), which stands for one replacement character.
int DecodeUtf8(const unsigned char* text, int length, int at, char32_t* character, bool* valid) {
  unsigned char lead = text[at];
  *valid = false;
  if (lead < 0x80) {
    *character = lead;
    *valid = true;
    return 1;
  }
  int trailing;
  char32_t value;
  unsigned char low = 0x80, high = 0xBF;  // the range allowed for the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    trailing = 1, value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trailing = 2, value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trailing = 3, value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 1;
  }
  for (int i = 1; i <= trailing; ++i) {
    if (at + i >= length) return i;
    unsigned char next = text[at + i];
    if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return i;
    value = (value << 6) | (next & 0x3F);
  }
  *character = value;
  *valid = true;
  return trailing + 1;
}

int EncodeUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

EXTERN_C int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                                        LPWSTR lpWideCharStr, int cchWideChar) {
  if (CodePage != CP_UTF8 && !IsSystemCodePage(CodePage)) return Fail(ERROR_INVALID_PARAMETER);
  DWORD allowed = CodePage == CP_UTF8 ? MB_ERR_INVALID_CHARS
                                      : MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
  if (dwFlags & ~allowed) return Fail(ERROR_INVALID_FLAGS);
  if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (cchWideChar > 0 && lpWideCharStr == nullptr))
    return Fail(ERROR_INVALID_PARAMETER);

  const auto* text = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
  int length = cbMultiByte;
  if (length == -1) {  // up to and including the terminator
    length = 0;
    while (text[length] != 0) ++length;
    ++length;
  }
  Output<WCHAR> out(lpWideCharStr, cchWideChar);
  for (int at = 0; at < length;) {
    char32_t c = 0;
    bool valid;
    at += DecodeUtf8(text, length, at, &c, &valid);
    if (!valid) {
      if (dwFlags & MB_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      c = kReplacement;
    }
    if (c < 0x10000) {
      WCHAR unit = static_cast<WCHAR>(c);
      out.Put(&unit, 1);
    } else {
      WCHAR pair[2] = {static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10)),
                       static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF))};
      out.Put(pair, 2);
    }
    if (out.overflowed()) return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  return out.count();
}

EXTERN_C int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                                        LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar,
                                        LPBOOL lpUsedDefaultChar) {
  if (CodePage != CP_UTF8 && !IsSystemCodePage(CodePage)) return Fail(ERROR_INVALID_PARAMETER);
  DWORD allowed = CodePage == CP_UTF8 ? WC_ERR_INVALID_CHARS
                                      : WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR |
                                            WC_NO_BEST_FIT_CHARS | WC_ERR_INVALID_CHARS;
  if (dwFlags & ~allowed) return Fail(ERROR_INVALID_FLAGS);
  // UTF-8 can say everything, so it has no default character to stand in.
  if (CodePage == CP_UTF8 && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && lpMultiByteStr == nullptr))
    return Fail(ERROR_INVALID_PARAMETER);

  int length = cchWideChar;
  if (length == -1) {
    length = 0;
    while (lpWideCharStr[length] != 0) ++length;
    ++length;
  }
  bool usedDefault = false;
  Output<char> out(lpMultiByteStr, cbMultiByte);
  for (int at = 0; at < length;) {
    char32_t c = lpWideCharStr[at++];
    if (c >= 0xD800 && c <= 0xDBFF && at < length && lpWideCharStr[at] >= 0xDC00 && lpWideCharStr[at] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (lpWideCharStr[at++] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {  // a surrogate without its partner
      if (dwFlags & WC_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      c = kReplacement;
      usedDefault = true;
    }
    char bytes[4];
    out.Put(bytes, EncodeUtf8(c, bytes));
    if (out.overflowed()) return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  return out.count();
}

EXTERN_C UINT WINAPI GetACP(void) { return CP_UTF8; }
