// Registering a library writes exactly the keys Windows writes, and
// unregistering removes them; registered libraries are found by LIBID,
// version and LCID.
#include "typelib_test_support.h"

#include <gtest/gtest.h>
#include <winreg.h>

#include <set>

namespace typelibtest {
namespace {

std::string GuidString(const GUID& guid) {
  OLECHAR text[39] = {};
  StringFromGUID2(guid, text, 39);
  return Narrow(text);
}

// Every key and value below `path` as "key\\[name] = value" lines.
void CollectKeys(const std::string& path, std::set<std::string>* lines) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  bool hasValues = false;
  for (DWORD i = 0;; ++i) {
    char name[256] = {};
    char value[1024] = {};
    DWORD nameSize = sizeof name;
    DWORD valueSize = sizeof value;
    DWORD type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(value), &valueSize) !=
        ERROR_SUCCESS) {
      break;
    }
    lines->insert(path + "\\[" + name + "] = " + value);
    hasValues = true;
  }
  std::vector<std::string> children;
  for (DWORD i = 0;; ++i) {
    char name[256] = {};
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.push_back(path + "\\" + name);
  }
  RegCloseKey(key);
  if (children.empty() && !hasValues) lines->insert(path);  // an empty leaf
  for (const std::string& child : children) CollectKeys(child, lines);
}

std::set<std::string> RegisteredKeys() {
  std::set<std::string> lines;
  CollectKeys("TypeLib\\" + GuidString(LIBID_QZTESTLib), &lines);
  for (const GUID* iid : {&IID_ITestFirst, &IID_ITestSecond, &IID_ITestPlain, &DIID__TestEvents}) {
    CollectKeys("Interface\\" + GuidString(*iid), &lines);
  }
  return lines;
}

void WriteKey(const std::string& path, const std::string& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

// The registered path, or the failure as text.
std::string PathFor(const GUID& libid, WORD major, WORD minor, LCID lcid) {
  BSTR path = nullptr;
  HRESULT hr = QueryPathOfRegTypeLib(libid, major, minor, lcid, &path);
  if (FAILED(hr)) return hr == TYPE_E_LIBNOTREGISTERED ? "not registered" : "failed";
  std::string text = Narrow(path);
  SysFreeString(path);
  return text;
}

const char* Platform() { return sizeof(void*) == 8 ? "win64" : "win32"; }

TEST(TypeLibRegistration, WritesExactlyWindowsKeysAndRemovesThemAgain) {
  ITypeLibPtr lib = LoadTestLibrary();
  std::u16string path = Wide("C:\\Libraries\\typelib_test.tlb");
  ASSERT_EQ(RegisterTypeLib(lib, path.c_str(), nullptr), S_OK);

  std::string libKey = "TypeLib\\" + GuidString(LIBID_QZTESTLib) + "\\2.3";
  std::string automation = GuidString({0x00020424, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}});
  std::string dispatch = GuidString({0x00020420, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}});
  std::set<std::string> expected = {
      libKey + "\\[] = Test 2.3 Type Library",
      libKey + "\\409\\" + Platform() + "\\[] = C:\\Libraries\\typelib_test.tlb",
      libKey + "\\FLAGS\\[] = 0",
      libKey + "\\HELPDIR\\[] = C:\\Libraries",
  };
  for (auto [iid, name, marshaler] : {std::tuple{&IID_ITestFirst, "ITestFirst", automation},
                                      std::tuple{&IID_ITestSecond, "ITestSecond", automation},
                                      std::tuple{&DIID__TestEvents, "_TestEvents", dispatch}}) {
    std::string key = "Interface\\" + GuidString(*iid);
    expected.insert(key + "\\[] = " + name);
    expected.insert(key + "\\ProxyStubClsid\\[] = " + marshaler);
    expected.insert(key + "\\ProxyStubClsid32\\[] = " + marshaler);
    expected.insert(key + "\\TypeLib\\[] = " + GuidString(LIBID_QZTESTLib));
    expected.insert(key + "\\TypeLib\\[Version] = 2.3");
  }
  EXPECT_EQ(RegisteredKeys(), expected);

  // Unregistering loads the library from the registered path.
  ASSERT_EQ(RegisterTypeLib(lib, Wide(TYPELIB_TEST_TLB).c_str(), Wide("C:\\Help").c_str()), S_OK);
  EXPECT_EQ(PathFor(LIBID_QZTESTLib, 2, 3, 0x409), TYPELIB_TEST_TLB);
  SYSKIND syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  EXPECT_EQ(UnRegisterTypeLib(LIBID_QZTESTLib, 2, 3, 0x409, syskind), S_OK);
  EXPECT_EQ(RegisteredKeys(), std::set<std::string>{});
  EXPECT_TRUE(FAILED(UnRegisterTypeLib(LIBID_QZTESTLib, 2, 3, 0x409, syskind)));
}

TEST(TypeLibRegistration, UnregisteringOneLcidKeepsTheOthers) {
  ITypeLibPtr lib = LoadTestLibrary();
  ASSERT_EQ(RegisterTypeLib(lib, Wide(TYPELIB_TEST_TLB).c_str(), nullptr), S_OK);
  std::string versionKey = "TypeLib\\" + GuidString(LIBID_QZTESTLib) + "\\2.3";
  WriteKey(versionKey + "\\0\\win32", "C:\\other.tlb");
  SYSKIND syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  ASSERT_EQ(UnRegisterTypeLib(LIBID_QZTESTLib, 2, 3, 0x409, syskind), S_OK);
  std::set<std::string> left = RegisteredKeys();
  EXPECT_TRUE(left.count(versionKey + "\\0\\win32\\[] = C:\\other.tlb"));
  EXPECT_TRUE(left.count(versionKey + "\\FLAGS\\[] = 0"));
  EXPECT_FALSE(left.count("Interface\\" + GuidString(IID_ITestFirst)));
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ("TypeLib\\" + GuidString(LIBID_QZTESTLib)).c_str());
}

TEST(TypeLibRegistration, VersionRuleSameMajorHighestMinorAtOrAbove) {
  const GUID libid = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  std::string key = "TypeLib\\" + GuidString(libid);
  WriteKey(key + "\\1.6\\0\\win32", "one-six");
  WriteKey(key + "\\1.a\\0\\win32", "one-ten");
  WriteKey(key + "\\2.0\\0\\win32", "two");
  EXPECT_EQ(PathFor(libid, 1, 0, 0), "one-ten");
  EXPECT_EQ(PathFor(libid, 1, 6, 0), "one-six");  // an exact version wins
  EXPECT_EQ(PathFor(libid, 1, 7, 0), "one-ten");
  EXPECT_EQ(PathFor(libid, 1, 11, 0), "not registered");
  EXPECT_EQ(PathFor(libid, 2, 0, 0), "two");
  EXPECT_EQ(PathFor(libid, 3, 0, 0), "not registered");
  EXPECT_EQ(PathFor(libid, 0, 0, 0), "not registered");
  RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
}

TEST(TypeLibRegistration, LcidFallsBackToPrimaryLanguageThenNeutral) {
  const GUID libid = {0x12345678, 0x1234, 0x1234, {8, 7, 6, 5, 4, 3, 2, 1}};
  std::string key = "TypeLib\\" + GuidString(libid);
  WriteKey(key + "\\1.0\\409\\win32", "us");
  WriteKey(key + "\\1.0\\9\\win32", "english");
  WriteKey(key + "\\1.0\\0\\win32", "neutral");
  WriteKey(key + "\\2.0\\409\\win32", "us only");
  EXPECT_EQ(PathFor(libid, 1, 0, 0x409), "us");
  EXPECT_EQ(PathFor(libid, 1, 0, 0x809), "english");
  EXPECT_EQ(PathFor(libid, 1, 0, 0x407), "neutral");
  EXPECT_EQ(PathFor(libid, 2, 0, 0x409), "us only");
  EXPECT_EQ(PathFor(libid, 2, 0, 0x407), "not registered");
  // The neutral and default locales stand for the machine's, US English.
  EXPECT_EQ(PathFor(libid, 2, 0, LOCALE_NEUTRAL), "us only");
  EXPECT_EQ(PathFor(libid, 2, 0, LOCALE_USER_DEFAULT), "us only");
  EXPECT_EQ(PathFor(libid, 2, 0, LOCALE_SYSTEM_DEFAULT), "us only");
  RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
}

TEST(TypeLibRegistration, LoadRegTypeLibLoadsTheRegisteredFile) {
  ITypeLib* lib = nullptr;
  EXPECT_EQ(LoadRegTypeLib(LIBID_QZTESTLib, 2, 0, 0x409, &lib), TYPE_E_LIBNOTREGISTERED);
  ASSERT_EQ(LoadTypeLibEx(Wide(TYPELIB_TEST_TLB).c_str(), REGKIND_REGISTER, &lib), S_OK);
  lib->Release();
  ASSERT_EQ(LoadRegTypeLib(LIBID_QZTESTLib, 2, 0, 0x409, &lib), S_OK);
  EXPECT_EQ(lib->GetTypeInfoCount(), 5u);
  lib->Release();
  SYSKIND syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  EXPECT_EQ(UnRegisterTypeLib(LIBID_QZTESTLib, 2, 3, 0x409, syskind), S_OK);
  // OLE Automation's own library is always there.
  EXPECT_EQ(PathFor({0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}, 2, 0, 0), STDOLE2_TLB);
}

}  // namespace
}  // namespace typelibtest
