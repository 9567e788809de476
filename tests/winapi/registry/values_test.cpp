// Values: types, sizes and the A/W conversions behave as on Windows.
#include <cstring>
#include <vector>

#include "registry_fixture.h"

namespace {

using ValuesTest = RegistryTest;

const BYTE* Bytes(const void* data) { return static_cast<const BYTE*>(data); }

TEST_F(ValuesTest, QueryGivesSizeOrMoreDataOrTheData) {
  HKEY key = Create("Sizes");
  const char16_t text[] = u"Apartment";
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"ThreadingModel", 0, REG_SZ, Bytes(text), sizeof text));

  DWORD type = 0, size = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"threadingmodel", nullptr, &type, nullptr, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(sizeof text, size);  // bytes, terminator included

  char16_t small[4];
  size = sizeof small;
  EXPECT_EQ(ERROR_MORE_DATA,
            RegQueryValueExW(key, u"ThreadingModel", nullptr, &type, reinterpret_cast<BYTE*>(small), &size));
  EXPECT_EQ(sizeof text, size);

  char16_t whole[16];
  size = sizeof whole;
  ASSERT_EQ(ERROR_SUCCESS,
            RegQueryValueExW(key, u"ThreadingModel", nullptr, &type, reinterpret_cast<BYTE*>(whole), &size));
  EXPECT_EQ(sizeof text, size);
  EXPECT_EQ(0, std::memcmp(text, whole, sizeof text));

  // The A form sees narrow text and narrow sizes.
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "ThreadingModel", nullptr, &type, nullptr, &size));
  EXPECT_EQ(10u, size);
  char narrow[10];
  size = 9;
  EXPECT_EQ(ERROR_MORE_DATA,
            RegQueryValueExA(key, "ThreadingModel", nullptr, nullptr, reinterpret_cast<BYTE*>(narrow), &size));
  EXPECT_EQ(10u, size);
  EXPECT_EQ("Apartment", QueryString(key, "ThreadingModel"));

  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(ERROR_INVALID_PARAMETER,
            RegQueryValueExA(key, "ThreadingModel", nullptr, nullptr, reinterpret_cast<BYTE*>(narrow), nullptr));
  DWORD reserved = 0;
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExA(key, "ThreadingModel", &reserved, nullptr, nullptr, &size));
  RegCloseKey(key);
}

TEST_F(ValuesTest, EveryTypeKeepsItsBytes) {
  HKEY key = Create("Types");
  DWORD dword = 0x12345678;
  const BYTE binary[] = {0, 1, 2, 0xFF};
  const char multi[] = "one\0two\0";  // two strings, the list ends with an empty one
  const char expand[] = "%SystemRoot%\\x";
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "dword", 0, REG_DWORD, Bytes(&dword), 4));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "binary", 0, REG_BINARY, binary, sizeof binary));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "multi", 0, REG_MULTI_SZ, Bytes(multi), sizeof multi));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "expand", 0, REG_EXPAND_SZ, Bytes(expand), sizeof expand));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "empty", 0, REG_SZ, nullptr, 0));

  BYTE buffer[64];
  DWORD type = 0, size = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "dword", nullptr, &type, buffer, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(4u, size);
  EXPECT_EQ(0, std::memcmp(&dword, buffer, 4));

  size = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "binary", nullptr, &type, buffer, &size));
  EXPECT_EQ(std::vector<BYTE>(binary, binary + 4), std::vector<BYTE>(buffer, buffer + size));

  size = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "multi", nullptr, &type, buffer, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
  EXPECT_EQ(std::string(multi, sizeof multi), std::string(reinterpret_cast<char*>(buffer), size));
  size = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"multi", nullptr, &type, buffer, &size));
  EXPECT_EQ(sizeof(u"one\0two\0"), size);

  EXPECT_EQ("%SystemRoot%\\x", QueryString(key, "expand"));  // stored, never expanded
  size = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "empty", nullptr, &type, buffer, &size));
  EXPECT_EQ(0u, size);

  // Windows stores what it is given: no terminator is added, none is required.
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "unterminated", 0, REG_SZ, Bytes("abc"), 3));
  size = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"unterminated", nullptr, &type, buffer, &size));
  EXPECT_EQ(6u, size);

  EXPECT_EQ(ERROR_NOACCESS, RegSetValueExA(key, "x", 0, REG_DWORD, nullptr, 4));
  RegCloseKey(key);
}

TEST_F(ValuesTest, TheDefaultValueIsTheNullOrEmptyName) {
  HKEY key = Create("Default");
  DWORD size = 0;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size));
  SetString(key, nullptr, "QZXMLSchemaService Class");
  EXPECT_EQ("QZXMLSchemaService Class", QueryString(key, ""));
  SetString(key, "", "overwritten");
  EXPECT_EQ("overwritten", QueryString(key, nullptr));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, nullptr));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueA(key, ""));
  RegCloseKey(key);
}

TEST_F(ValuesTest, NarrowTextIsUtf8BothWays) {
  HKEY key = Create("Utf8");
  const char narrow[] =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC";  // "Grüße €"
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "N\xC3\xA4me", 0, REG_SZ, Bytes(narrow), sizeof narrow));
  char16_t wide[16];
  DWORD size = sizeof wide;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"N\u00C4ME", nullptr, nullptr, reinterpret_cast<BYTE*>(wide), &size));
  EXPECT_EQ(std::u16string(u"Gr\u00FC\u00DFe \u20AC"), std::u16string(wide));
  EXPECT_EQ(sizeof(u"Gr\u00FC\u00DFe \u20AC"), size);

  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "N\xC3\xA4me", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(sizeof narrow, size);
  EXPECT_EQ(std::string(narrow), QueryString(key, "N\xC3\xA4me"));
  RegCloseKey(key);
}

TEST_F(ValuesTest, ValuesEnumerateInTheOrderTheyWereFirstSet) {
  HKEY key = Create("Enum");
  SetString(key, "zeta", "1");
  SetString(key, "Alpha", "22");
  SetString(key, "", "default");
  SetString(key, "ZETA", "333");  // overwrites in place, keeps the first spelling

  std::vector<std::string> names;
  char name[32];
  BYTE data[32];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name, size = sizeof data;
    LONG status = RegEnumValueA(key, i, name, &length, nullptr, nullptr, data, &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(ERROR_SUCCESS, status);
    names.emplace_back(name, length);
  }
  EXPECT_EQ((std::vector<std::string>{"zeta", "Alpha", ""}), names);

  // Too small a name or data buffer: nothing written, the data size is told.
  DWORD length = 4, size = sizeof data, type = 0;
  strcpy(name, "xxx");
  EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueA(key, 0, name, &length, nullptr, &type, data, &size));
  EXPECT_EQ(4u, length);
  EXPECT_EQ(4u, size);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_STREQ("xxx", name);
  length = sizeof name;
  size = 2;
  EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueA(key, 0, name, &length, nullptr, nullptr, data, &size));
  EXPECT_EQ(static_cast<DWORD>(sizeof name), length);
  EXPECT_EQ(4u, size);

  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegEnumValueA(key, 0, nullptr, &length, nullptr, nullptr, nullptr, nullptr));

  ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, "zeta"));
  length = sizeof name;
  ASSERT_EQ(ERROR_SUCCESS, RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
  EXPECT_STREQ("Alpha", name);
  RegCloseKey(key);
}

}  // namespace
