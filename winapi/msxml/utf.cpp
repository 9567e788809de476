#include "utf.h"

namespace qzwin::msxml {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i], advancing i; malformed input gives
// the replacement character, so nothing is ever read past the end.
char32_t NextCodePoint(std::string_view text, size_t& i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i++);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || i + extra > text.size()) return kReplacement;
  char32_t c = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if ((byte(i) & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (byte(i++) & 0x3F);
  }
  return c > 0x10FFFF ? kReplacement : c;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t c = NextCodePoint(text, i);
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::string BstrToUtf8(BSTR text) {
  if (text == nullptr) return {};
  return Utf16ToUtf8(std::u16string_view(text, SysStringLen(text)));
}

BSTR AllocBstr(std::string_view utf8) {
  std::u16string wide = Utf8ToUtf16(utf8);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

BSTR AllocBstr(const unsigned char* utf8) {
  if (utf8 == nullptr) return nullptr;
  return AllocBstr(std::string_view(reinterpret_cast<const char*>(utf8)));
}

HRESULT ReturnBstr(std::string_view utf8, BSTR* out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = AllocBstr(utf8);
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnBstr(const unsigned char* utf8, BSTR* out) {
  return ReturnBstr(std::string_view(utf8 != nullptr ? reinterpret_cast<const char*>(utf8) : ""), out);
}

HRESULT ReturnBstrVariant(std::string_view utf8, VARIANT* out) {
  if (out == nullptr) return E_INVALIDARG;
  VariantInit(out);
  BSTR text = AllocBstr(utf8);
  if (text == nullptr) return E_OUTOFMEMORY;
  out->vt = VT_BSTR;
  out->bstrVal = text;
  return S_OK;
}

}  // namespace qzwin::msxml
