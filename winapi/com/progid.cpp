// ProgIDs: HKCR\CLSID\{clsid}\ProgID and HKCR\<ProgID>\CLSID, with the
// built-in classes' ProgIDs behind the registry.
#include <cstring>
#include <string>

#include <objbase.h>

#include "builtin_classes.h"
#include "guid_format.h"
#include "registry_values.h"

using namespace qzwin::com;

STDAPI ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) {
  if (lplpszProgID == nullptr) return E_INVALIDARG;
  *lplpszProgID = nullptr;
  OLECHAR clsidText[CHARS_IN_GUID];
  FormatGuid(clsid, clsidText);
  std::u16string progId;
  bool found = ReadClassesRootString(u"CLSID\\" + std::u16string(clsidText) + u"\\ProgID", nullptr, &progId) &&
               !progId.empty();
  if (!found && !FindBuiltinProgId(clsid, &progId)) return REGDB_E_CLASSNOTREG;
  size_t bytes = (progId.size() + 1) * sizeof(OLECHAR);
  *lplpszProgID = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (*lplpszProgID == nullptr) return E_OUTOFMEMORY;
  std::memcpy(*lplpszProgID, progId.c_str(), bytes);
  return S_OK;
}

STDAPI CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
  if (lpszProgID == nullptr || lpclsid == nullptr) return E_INVALIDARG;
  *lpclsid = GUID_NULL;
  std::u16string progId(lpszProgID);
  if (progId.empty()) return CO_E_CLASSSTRING;
  std::u16string clsidText;
  if (ReadClassesRootString(progId + u"\\CLSID", nullptr, &clsidText)) {
    return ParseGuid(clsidText.c_str(), lpclsid) ? S_OK : CO_E_CLASSSTRING;
  }
  return FindBuiltinClassByProgId(progId, lpclsid) ? S_OK : CO_E_CLASSSTRING;
}
