// LoadRegTypeLib and QueryPathOfRegTypeLib: finding a library by LIBID,
// version and LCID under HKEY_CLASSES_ROOT\TypeLib.
#include "registry_keys.h"
#include "text.h"

#include <oleauto.h>
#include <winnls.h>

#include <cstring>
#include <optional>

namespace {

using namespace qzwin::typelib;

// OLE Automation's own library, which every Windows machine has registered.
// The stand-in answers it from Wine's copy when its registry has none.
constexpr GUID kStdOleLibid = {0x00020430, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr WORD kStdOleMajor = 2;

// The platform keys a 32-bit process looks under, in order; a library
// registered only for 64-bit Windows is still found.
constexpr const char16_t* kPlatformKeys[] = {u"win32", u"win64"};

struct Version {
  unsigned major = 0;
  unsigned minor = 0;
};

std::optional<unsigned> ParseHex(const std::u16string& text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (char16_t c : text) {
    unsigned digit = 0;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else if (c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + digit;
  }
  return value;
}

std::optional<Version> ParseVersion(const std::u16string& name) {
  std::size_t dot = name.find(u'.');
  if (dot == std::u16string::npos) return std::nullopt;
  auto major = ParseHex(name.substr(0, dot));
  auto minor = ParseHex(name.substr(dot + 1));
  if (!major || !minor) return std::nullopt;
  return Version{*major, *minor};
}

// An exact version wins; else the highest minor version at or above the one
// asked for, with the same major version.
std::optional<std::u16string> ChooseVersion(const std::u16string& libKey, WORD major, WORD minor) {
  std::optional<std::u16string> best;
  unsigned bestMinor = 0;
  for (const std::u16string& name : SubKeyNames(libKey)) {
    auto version = ParseVersion(name);
    if (!version || version->major != major || version->minor < minor) continue;
    if (version->minor == minor) return name;
    if (!best || version->minor > bestMinor) {
      best = name;
      bestMinor = version->minor;
    }
  }
  return best;
}

// The machine's one locale (US English), which the default locales stand for.
constexpr LCID kMachineLocale = 0x0409;

// The neutral and the user's or system's default locale mean the machine's
// own, as clients that pass them expect a library of that language to answer.
LCID ResolveDefaultLocale(LCID lcid) {
  return lcid == LOCALE_NEUTRAL || lcid == LOCALE_USER_DEFAULT || lcid == LOCALE_SYSTEM_DEFAULT ? kMachineLocale
                                                                                                 : lcid;
}

// The registered path for `lcid`: the LCID itself (a default locale resolved
// first), then its primary language, then the neutral LCID 0.
bool FindPath(const std::u16string& versionKey, LCID requested, std::u16string* path) {
  const LCID lcid = ResolveDefaultLocale(requested);
  const unsigned lcids[] = {lcid, lcid & 0x3FFu, 0u};
  for (unsigned candidate : lcids) {
    for (const char16_t* platform : kPlatformKeys) {
      if (ReadDefaultValue(versionKey + u"\\" + HexText(candidate) + u"\\" + platform, path)) return true;
    }
  }
  return false;
}

std::u16string BuiltInStdOlePath() { return ToWide(QZ_STDOLE2_TLB); }

}  // namespace

WINOLEAUTAPI QueryPathOfRegTypeLib(REFGUID guid, USHORT wMaj, USHORT wMin, LCID lcid, LPBSTR lpbstrPathName) {
  if (lpbstrPathName == nullptr) return E_INVALIDARG;
  *lpbstrPathName = nullptr;
  std::u16string libKey = u"TypeLib\\" + GuidText(guid);
  std::u16string path;
  auto version = ChooseVersion(libKey, wMaj, wMin);
  bool found = version && FindPath(libKey + u"\\" + *version, lcid, &path);
  if (!found && std::memcmp(&guid, &kStdOleLibid, sizeof(GUID)) == 0 && wMaj == kStdOleMajor) {
    path = BuiltInStdOlePath();
    found = true;
  }
  if (!found) return TYPE_E_LIBNOTREGISTERED;
  *lpbstrPathName = SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
  return *lpbstrPathName != nullptr ? S_OK : E_OUTOFMEMORY;
}

WINOLEAUTAPI LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid, ITypeLib** pptlib) {
  if (pptlib == nullptr) return E_INVALIDARG;
  *pptlib = nullptr;
  BSTR path = nullptr;
  HRESULT hr = QueryPathOfRegTypeLib(rguid, wVerMajor, wVerMinor, lcid, &path);
  if (FAILED(hr)) return hr;
  hr = LoadTypeLib(path, pptlib);
  SysFreeString(path);
  return hr;
}
