#include "text.h"

#include <comdef.h>
#include <oleauto.h>
#include <winnls.h>

#include <climits>

namespace qzwin::typelib {
namespace {

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

std::u16string DecodeText(const BYTE* bytes, std::size_t length) {
  if (length == 0 || length > INT_MAX) return {};
  auto narrow = reinterpret_cast<LPCCH>(bytes);
  int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow, static_cast<int>(length), nullptr, 0);
  if (count > 0) {
    std::u16string text(static_cast<std::size_t>(count), u'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow, static_cast<int>(length), text.data(), count);
    return text;
  }
  return std::u16string(bytes, bytes + length);
}

bool SameName(const OLECHAR* a, const std::u16string& b) {
  if (a == nullptr) return false;
  std::size_t i = 0;
  for (; i < b.size(); ++i) {
    if (a[i] == u'\0' || FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return a[i] == u'\0';
}

std::string ToNarrow(const std::u16string& text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  int count = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (count <= 0) return {};
  std::string narrow(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), count, nullptr, nullptr);
  return narrow;
}

std::u16string ToWide(const std::string& text) {
  return DecodeText(reinterpret_cast<const BYTE*>(text.data()), text.size());
}

BSTR NewBstr(const std::u16string& text) {
  BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (copy == nullptr) _com_issue_error(E_OUTOFMEMORY);
  return copy;
}

void SetBstrOut(BSTR* out, const std::u16string& text) {
  if (out != nullptr) *out = NewBstr(text);
}

}  // namespace qzwin::typelib
