// The registrar: a script registered and unregistered again, what each
// keyword keeps or removes, value types, and scripts that are refused.
#include <atlbase.h>
#include <statreg.h>

#include <gtest/gtest.h>

#include "registry_reader.h"
#include "shell_fixture.h"

namespace atltest {
namespace {

// The layout of a class's registration, CR LF and tabs as the resource has them.
const char kClassScript[] =
    "HKCR\r\n{\r\n"
    "\tQz.Test.1 = s 'Test Class'\r\n\t{\r\n\t\tCLSID = s '{AEFFB600-0000-0000-0000-000000000001}'\r\n\t}\r\n"
    "\tNoRemove CLSID\r\n\t{\r\n"
    "\t\tForceRemove {AEFFB600-0000-0000-0000-000000000001} = s 'Test Class'\r\n\t\t{\r\n"
    "\t\t\tProgID = s 'Qz.Test.1'\r\n"
    "\t\t\tForceRemove 'Programmable'\r\n"
    "\t\t\tInprocServer32 = s '%MODULE%'\r\n\t\t\t{\r\n\t\t\t\tval ThreadingModel = s 'Apartment'\r\n\t\t\t}\r\n"
    "\t\t}\r\n\t}\r\n}\r\n";

const char kClassKey[] = "CLSID\\{AEFFB600-0000-0000-0000-000000000001}";

// The module path as UpdateRegistryFromResource hands it over: quotes doubled.
HRESULT RunScript(const char* script, BOOL registering, const char* module = "C:\\it''s\\qz.dll") {
  CRegObject registrar;
  registrar.AddReplacement("Module", module);
  return registering ? registrar.StringRegister(script) : registrar.StringUnregister(script);
}

void CreateKey(HKEY root, const char* path) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(Registrar, RegistersAndUnregistersAClassKeepingWhatItDoesNotOwn) {
  CreateKey(HKEY_CLASSES_ROOT, "CLSID\\{00000000-0000-0000-0000-0000000000AA}");
  CreateKey(HKEY_CLASSES_ROOT, "CLSID\\{AEFFB600-0000-0000-0000-000000000001}\\Stale");

  ASSERT_EQ(RunScript(kClassScript, TRUE), S_OK);
  EXPECT_EQ(ValueOf(HKEY_CLASSES_ROOT, "Qz.Test.1"), "1:Test Class");
  EXPECT_EQ(ValueOf(HKEY_CLASSES_ROOT, "Qz.Test.1\\CLSID"), "1:{AEFFB600-0000-0000-0000-000000000001}");
  EXPECT_EQ(ValueOf(HKEY_CLASSES_ROOT, kClassKey), "1:Test Class");
  EXPECT_EQ(ValueOf(HKEY_CLASSES_ROOT, "CLSID\\{AEFFB600-0000-0000-0000-000000000001}\\InprocServer32"),
            "1:C:\\it's\\qz.dll")
      << "the doubled quote reads back as one";
  EXPECT_EQ(ValueOf(HKEY_CLASSES_ROOT, "CLSID\\{AEFFB600-0000-0000-0000-000000000001}\\InprocServer32",
                    "ThreadingModel"),
            "1:Apartment");
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{AEFFB600-0000-0000-0000-000000000001}\\Programmable"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{AEFFB600-0000-0000-0000-000000000001}\\Stale"))
      << "ForceRemove wrote the class key anew";

  ASSERT_EQ(RunScript(kClassScript, TRUE), S_OK) << "registering again is harmless";
  ASSERT_EQ(RunScript(kClassScript, FALSE), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Qz.Test.1"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID")) << "NoRemove";
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{00000000-0000-0000-0000-0000000000AA}"));
  EXPECT_EQ(RunScript(kClassScript, FALSE), S_OK) << "unregistering what is missing skips it";
}

TEST(Registrar, UnregisteringKeepsKeysThatOthersStillUse) {
  const char script[] =
      "HKCU { Owned = s 'x' { val Mine = d 5 NoRemove val Kept = s 'k' Leaf } NoRemove Shared { Inner } }";
  ASSERT_EQ(RunScript(script, TRUE), S_OK);
  CreateKey(HKEY_CURRENT_USER, "Owned\\Foreign");
  ASSERT_EQ(RunScript(script, FALSE), S_OK);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Owned")) << "a subkey the script did not name keeps it";
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Owned\\Leaf"));
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "Owned", "Mine"), "missing");
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "Owned", "Kept"), "1:k");
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Shared"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Shared\\Inner"));
}

TEST(Registrar, DeleteAndForceRemoveSpareTheWellKnownKeys) {
  CreateKey(HKEY_CURRENT_USER, "Old\\Child");
  CreateKey(HKEY_CURRENT_USER, "Interface\\{Someone}");
  CreateKey(HKEY_CURRENT_USER, "Renewed\\Stale");
  ASSERT_EQ(RunScript("HKCU { Delete Old { New } ForceRemove interface ForceRemove Renewed { Fresh } }", TRUE), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Old")) << "Delete writes nothing";
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Interface\\{Someone}"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Renewed\\Stale"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Renewed\\Fresh"));
}

TEST(Registrar, WritesEachValueType) {
  ASSERT_EQ(RunScript("hkey_current_user { V { val S = S '''quoted'' 100%%' val D = d '0x1F' val N = D 42 "
                "val B = b '00ff7A' val M = m 'a\\0bc' val E = b '' } }",
                TRUE),
            S_OK);
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "V", "S"), "1:'quoted' 100%");
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "V", "D"), std::string("4:\x1F\0\0\0", 6));
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "V", "N"), std::string("4:\x2A\0\0\0", 6));
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "V", "B"), std::string("3:\x00\xFF\x7A", 5));
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "V", "M"), std::string("7:a\0bc\0\0", 8));
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "V", "E"), "3:");
}

TEST(Registrar, AMalformedScriptFailsAndWritesNothing) {
  const char* const malformed[] = {
      "HKCR { Canary = s 'x' Missing = 'type' }",
      "HKCR { Canary = s 'x'",
      "HKCR { Canary = s 'x' val Name s 'no equals' }",
      "HKCR { Canary = s 'x' Bad = d '12z' }",
      "HKCR { Canary = s 'x' Bad = d '4294967296' }",
      "HKCR { Canary = s 'x' Bad = b 'abc' }",
      "HKCR { Canary = s 'x' Bad = q 'type' }",
      "HKCR { Canary = s 'x' Compound\\Key }",
      "HKCR { Canary = s 'unterminated }",
      "HKCR { Canary = s '%UNKNOWN%' }",
      "HKCR { Canary = s '50% }",
      "HKXX { Canary }",
      "HKCR Canary",
      "HKCR { Canary } }",
      "HKCR { ForceRemove val Canary = s 'x' }",
  };
  for (const char* script : malformed) {
    EXPECT_EQ(RunScript(script, TRUE), DISP_E_EXCEPTION) << script;
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Canary")) << script;
    EXPECT_EQ(RunScript(script, FALSE), DISP_E_EXCEPTION) << script;
  }
}

TEST(Registrar, AFailedRegistrationRemovesWhatItWrote) {
  CreateKey(HKEY_CURRENT_USER, "Kept");
  std::string tooLong(300, 'k');  // longer than a key name may be
  std::string script = "HKCU { Written { Child } NoRemove Kept { Inner } " + tooLong + " }";
  EXPECT_EQ(RunScript(script.c_str(), TRUE), HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Written"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Kept\\Inner"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Kept"));
}

TEST(Registrar, ABraceOpensABlockOnlyBeforeWhiteSpace) {
  ASSERT_EQ(RunScript("HKCU {\n{A}=s '1'\n{B} = s '2' {\n}\n}", TRUE), S_OK);
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "{A}=s"), "missing") << "\"{A}=s\" is one name, with no value";
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "{A}=s"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "1")) << "the quoted '1' is the next key's name";
  EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, "{B}"), "1:2");
}

// The module's scripts: %MODULE% is its file, other names come from the map.
using ModuleRegistration = ShellTest;

TEST_F(ModuleRegistration, UpdateRegistryFromResourceReplacesTheModulePath) {
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  _ATL_REGMAP_ENTRY map[] = {{OLESTR("NOTE"), OLESTR("from the map")}, {nullptr, nullptr}};
  ASSERT_EQ(module_.UpdateRegistryFromResource(101, TRUE, map), S_OK);
  const char key[] = "CLSID\\{6B1E0C01-1111-4A4A-9A01-000000000101}";
  EXPECT_EQ(ValueOf(HKEY_CLASSES_ROOT, (std::string(key) + "\\InprocServer32").c_str()), std::string("1:") + path);
  EXPECT_EQ(ValueOf(HKEY_CLASSES_ROOT, (std::string(key) + "\\Note").c_str()), "1:from the map");
  ASSERT_EQ(module_.UpdateRegistryFromResource(101, FALSE, map), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key));
  EXPECT_TRUE(FAILED(module_.UpdateRegistryFromResource(999, TRUE))) << "no such resource";
}

}  // namespace
}  // namespace atltest
