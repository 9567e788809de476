// RegisterTypeLib and UnRegisterTypeLib: the library's TypeLib key and the
// Interface keys of its dispatch, dual and oleautomation interfaces.
#include "registry_keys.h"
#include "text.h"

#include <comdef.h>
#include <oleauto.h>

#include <vector>

namespace {

using namespace qzwin::typelib;

// The marshalers: the automation one for vtable and dual interfaces, the
// dispatch one for pure dispinterfaces.
constexpr GUID kAutomationMarshaler = {0x00020424, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kDispatchMarshaler = {0x00020420, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

const char16_t* PlatformKeyName(SYSKIND syskind) {
  switch (syskind) {
    case SYS_WIN16: return u"win16";
    case SYS_MAC: return u"mac";
    case SYS_WIN64: return u"win64";
    default: return u"win32";
  }
}

std::u16string VersionText(WORD major, WORD minor) { return HexText(major) + u"." + HexText(minor); }

std::u16string DecimalText(unsigned value) {
  std::u16string text;
  do {
    text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return text;
}

struct RegisteredInterface {
  GUID iid;
  std::u16string name;
  bool pureDispatch;
};

// The interfaces that get an Interface key: dispinterfaces (duals are
// stored as such) and vtable interfaces marked oleautomation.
HRESULT InterfacesToRegister(ITypeLib* lib, std::vector<RegisteredInterface>* interfaces) {
  UINT count = lib->GetTypeInfoCount();
  for (UINT i = 0; i < count; ++i) {
    ITypeInfo* info = nullptr;
    HRESULT hr = lib->GetTypeInfo(i, &info);
    if (FAILED(hr)) return hr;
    TYPEATTR* attr = nullptr;
    hr = info->GetTypeAttr(&attr);
    if (FAILED(hr)) {
      info->Release();
      return hr;
    }
    bool dispatch = attr->typekind == TKIND_DISPATCH;
    bool automation = attr->typekind == TKIND_INTERFACE && (attr->wTypeFlags & (TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDUAL));
    if (dispatch || automation) {
      BSTR name = nullptr;
      info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
      interfaces->push_back({attr->guid, name ? std::u16string(name) : std::u16string(),
                             dispatch && !(attr->wTypeFlags & TYPEFLAG_FDUAL)});
      SysFreeString(name);
    }
    info->ReleaseTypeAttr(attr);
    info->Release();
  }
  return S_OK;
}

std::u16string InterfaceKey(const GUID& iid) { return u"Interface\\" + GuidText(iid); }

std::u16string DirectoryOf(const std::u16string& path) {
  std::size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

struct LibraryInfo {
  TLIBATTR attr{};
  std::u16string name;
  std::u16string docString;
};

HRESULT DescribeLibrary(ITypeLib* lib, LibraryInfo* info) {
  TLIBATTR* attr = nullptr;
  HRESULT hr = lib->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  info->attr = *attr;
  lib->ReleaseTLibAttr(attr);
  BSTR name = nullptr;
  BSTR doc = nullptr;
  hr = lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr);
  if (SUCCEEDED(hr)) {
    info->name = name ? name : u"";
    info->docString = doc ? doc : u"";
  }
  SysFreeString(name);
  SysFreeString(doc);
  return hr;
}

}  // namespace

WINOLEAUTAPI RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir) {
  if (ptlib == nullptr || szFullPath == nullptr) return E_INVALIDARG;
  LibraryInfo lib;
  HRESULT hr = DescribeLibrary(ptlib, &lib);
  std::vector<RegisteredInterface> interfaces;
  if (SUCCEEDED(hr)) hr = InterfacesToRegister(ptlib, &interfaces);
  if (FAILED(hr)) return hr;

  const TLIBATTR& attr = lib.attr;
  std::u16string libid = GuidText(attr.guid);
  std::u16string version = VersionText(attr.wMajorVerNum, attr.wMinorVerNum);
  std::u16string versionKey = u"TypeLib\\" + libid + u"\\" + version;
  std::u16string helpDir = szHelpDir ? std::u16string(szHelpDir) : DirectoryOf(szFullPath);
  const std::u16string none;
  HRESULT results[] = {
      WriteStringValue(versionKey, none, lib.docString.empty() ? lib.name : lib.docString),
      WriteStringValue(versionKey + u"\\" + HexText(attr.lcid) + u"\\" + PlatformKeyName(attr.syskind), none,
                       szFullPath),
      WriteStringValue(versionKey + u"\\FLAGS", none, DecimalText(attr.wLibFlags)),
      WriteStringValue(versionKey + u"\\HELPDIR", none, helpDir),
  };
  for (HRESULT result : results) {
    if (FAILED(result)) return result;
  }
  for (const RegisteredInterface& item : interfaces) {
    std::u16string key = InterfaceKey(item.iid);
    std::u16string marshaler = GuidText(item.pureDispatch ? kDispatchMarshaler : kAutomationMarshaler);
    HRESULT steps[] = {
        WriteStringValue(key, none, item.name),
        WriteStringValue(key + u"\\ProxyStubClsid", none, marshaler),
        WriteStringValue(key + u"\\ProxyStubClsid32", none, marshaler),
        WriteStringValue(key + u"\\TypeLib", none, libid),
        WriteStringValue(key + u"\\TypeLib", u"Version", version),
    };
    for (HRESULT step : steps) {
      if (FAILED(step)) return step;
    }
  }
  return S_OK;
}

WINOLEAUTAPI UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND syskind) {
  std::u16string libKey = u"TypeLib\\" + GuidText(libID);
  std::u16string versionKey = libKey + u"\\" + VersionText(wVerMajor, wVerMinor);
  std::u16string lcidKey = versionKey + u"\\" + HexText(lcid);
  std::u16string platformKey = lcidKey + u"\\" + PlatformKeyName(syskind);
  std::u16string path;
  if (!ReadDefaultValue(platformKey, &path)) return E_INVALIDARG;  // not registered (any more)

  // The interfaces to remove are the library's own: it must still load.
  ITypeLib* lib = nullptr;
  if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &lib))) return TYPE_E_INVALIDSTATE;
  std::vector<RegisteredInterface> interfaces;
  HRESULT hr = InterfacesToRegister(lib, &interfaces);
  lib->Release();
  if (FAILED(hr)) return hr;

  for (const RegisteredInterface& item : interfaces) {
    std::u16string key = InterfaceKey(item.iid);
    DeleteKeyIfLeafless(key + u"\\ProxyStubClsid");
    DeleteKeyIfLeafless(key + u"\\ProxyStubClsid32");
    DeleteKeyIfLeafless(key + u"\\TypeLib");
    DeleteKeyIfLeafless(key);
  }
  DeleteKeyIfLeafless(platformKey);
  DeleteKeyIfLeafless(lcidKey);
  // The version key goes once no other LCID is registered under it.
  std::vector<std::u16string> rest = SubKeyNames(versionKey);
  bool othersLeft = false;
  for (const std::u16string& name : rest) {
    if (name != u"FLAGS" && name != u"HELPDIR") othersLeft = true;
  }
  if (!othersLeft) {
    DeleteKeyIfLeafless(versionKey + u"\\FLAGS");
    DeleteKeyIfLeafless(versionKey + u"\\HELPDIR");
    DeleteKeyIfLeafless(versionKey);
    DeleteKeyIfLeafless(libKey);
  }
  return S_OK;
}

WINOLEAUTAPI RegisterTypeLibForUser(ITypeLib* ptlib, OLECHAR* szFullPath, OLECHAR* szHelpDir) {
  return RegisterTypeLib(ptlib, szFullPath, szHelpDir);
}

WINOLEAUTAPI UnRegisterTypeLibForUser(REFGUID libID, WORD wMajorVerNum, WORD wMinorVerNum, LCID lcid,
                                      SYSKIND syskind) {
  return UnRegisterTypeLib(libID, wMajorVerNum, wMinorVerNum, lcid, syskind);
}
