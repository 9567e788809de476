// GUIDs to text and back: StringFromGUID2, StringFromCLSID, StringFromIID,
// CLSIDFromString and IIDFromString.
#include <cstring>

#include <objbase.h>

#include "guid_format.h"

using namespace qzwin::com;

STDAPI_(int) StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
  if (lpsz == nullptr || cchMax < CHARS_IN_GUID) return 0;
  OLECHAR text[CHARS_IN_GUID];
  FormatGuid(rguid, text);
  std::memcpy(lpsz, text, sizeof(text));
  return CHARS_IN_GUID;
}

STDAPI StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) {
  if (lplpsz == nullptr) return E_INVALIDARG;
  *lplpsz = static_cast<LPOLESTR>(CoTaskMemAlloc(CHARS_IN_GUID * sizeof(OLECHAR)));
  if (*lplpsz == nullptr) return E_OUTOFMEMORY;
  StringFromGUID2(rclsid, *lplpsz, CHARS_IN_GUID);
  return S_OK;
}

STDAPI StringFromIID(REFIID rclsid, LPOLESTR* lplpsz) { return StringFromCLSID(rclsid, lplpsz); }

// A null text is GUID_NULL. Text that is not a GUID in braces may be a
// ProgID, looked up as CLSIDFromProgID does.
STDAPI CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  if (pclsid == nullptr) return E_INVALIDARG;
  if (lpsz == nullptr) {
    *pclsid = GUID_NULL;
    return S_OK;
  }
  if (ParseGuid(lpsz, pclsid)) return S_OK;
  *pclsid = GUID_NULL;
  CLSID fromProgId;
  if (lpsz[0] == u'{' || FAILED(CLSIDFromProgID(lpsz, &fromProgId))) return CO_E_CLASSSTRING;
  *pclsid = fromProgId;
  return S_OK;
}

// A null text is GUID_NULL; a text of the wrong length is an invalid
// argument, one of the right length that is not a GUID is CO_E_IIDSTRING.
STDAPI IIDFromString(LPCOLESTR lpsz, LPIID lpiid) {
  if (lpiid == nullptr) return E_INVALIDARG;
  if (lpsz == nullptr) {
    *lpiid = GUID_NULL;
    return S_OK;
  }
  int length = 0;
  while (length <= kGuidTextLength && lpsz[length] != 0) ++length;
  if (length != kGuidTextLength) return E_INVALIDARG;
  return ParseGuid(lpsz, lpiid) ? S_OK : CO_E_IIDSTRING;
}
