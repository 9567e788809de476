// BSTR: a 32-bit byte count, then the UTF-16 text, then a zero OLECHAR. The
// pointer handed out points at the text, so a BSTR reads as a C string and
// the count sits just before it. A null BSTR stands for the empty string.
#include <oleauto.h>

#include <cstdlib>
#include <cstring>

namespace {

using Prefix = DWORD;

// The largest byte count the prefix can state, leaving room for the
// terminator and the prefix itself in a 32-bit size.
constexpr UINT kMaxByteLength = 0x7FFFFFFFu - sizeof(Prefix) - sizeof(OLECHAR) - 1;

Prefix* PrefixOf(BSTR text) { return reinterpret_cast<Prefix*>(reinterpret_cast<BYTE*>(text) - sizeof(Prefix)); }

// Room for byteLength bytes of text plus a whole zero OLECHAR after them,
// also when byteLength is odd. All of it after the copied bytes is zeroed.
BSTR AllocateBytes(const void* source, UINT byteLength) {
  if (byteLength > kMaxByteLength) return nullptr;
  const size_t total = sizeof(Prefix) + size_t{byteLength} + sizeof(OLECHAR) + 1;
  auto* block = static_cast<BYTE*>(std::malloc(total));
  if (block == nullptr) return nullptr;
  Prefix count = byteLength;
  std::memcpy(block, &count, sizeof count);
  BYTE* text = block + sizeof(Prefix);
  if (source != nullptr) {
    std::memcpy(text, source, byteLength);
  } else {
    std::memset(text, 0, byteLength);
  }
  std::memset(text + byteLength, 0, total - sizeof(Prefix) - byteLength);
  return reinterpret_cast<BSTR>(text);
}

UINT TextLength(const OLECHAR* text) {
  UINT n = 0;
  while (text[n] != 0) ++n;
  return n;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* psz) {
  if (psz == nullptr) return nullptr;
  return SysAllocStringLen(psz, TextLength(psz));
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
  if (ui > kMaxByteLength / sizeof(OLECHAR)) return nullptr;
  return AllocateBytes(strIn, ui * UINT{sizeof(OLECHAR)});
}

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) { return AllocateBytes(psz, len); }

// The new text may point into the old string, so the old one is freed only
// after the copy is made.
INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
  if (pbstr == nullptr) return FALSE;
  BSTR fresh = SysAllocString(psz);
  if (fresh == nullptr && psz != nullptr) return FALSE;
  SysFreeString(*pbstr);
  *pbstr = fresh;
  return TRUE;
}

INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len) {
  if (pbstr == nullptr) return FALSE;
  BSTR fresh = SysAllocStringLen(psz, len);
  if (fresh == nullptr) return FALSE;
  SysFreeString(*pbstr);
  *pbstr = fresh;
  return TRUE;
}

void SysFreeString(BSTR bstrString) {
  if (bstrString == nullptr) return;
  std::free(PrefixOf(bstrString));
}

UINT SysStringLen(BSTR pbstr) { return SysStringByteLen(pbstr) / UINT{sizeof(OLECHAR)}; }

UINT SysStringByteLen(BSTR bstr) {
  if (bstr == nullptr) return 0;
  Prefix count;
  std::memcpy(&count, PrefixOf(bstr), sizeof count);
  return count;
}
