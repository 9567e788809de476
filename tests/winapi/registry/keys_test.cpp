// Keys: creating, opening, closing, deleting and enumerating behave as on Windows.
#include <vector>

#include "registry_fixture.h"

namespace {

using KeysTest = RegistryTest;

std::vector<std::string> SubkeyNames(HKEY key) {
  std::vector<std::string> names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    LONG status = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    EXPECT_EQ(ERROR_SUCCESS, status);
    if (status != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

TEST_F(KeysTest, CreateReportsWhetherTheKeyIsNewAndMakesTheKeysOnTheWay) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "A\\B\\C", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_ALL_ACCESS, nullptr, &key, &disposition));
  EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
  EXPECT_TRUE(Exists("A"));
  EXPECT_TRUE(Exists("A\\B"));
  RegCloseKey(key);

  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExA(HKEY_CLASSES_ROOT, "a\\b\\c", 0, nullptr, 0, KEY_READ, nullptr, &key, &disposition));
  EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
  RegCloseKey(key);
}

TEST_F(KeysTest, NamesAreCaseInsensitiveAndKeepTheirCase) {
  RegCloseKey(Create("MixedCase\\Inner"));
  EXPECT_TRUE(Exists("MIXEDCASE\\inner"));
  HKEY parent = Create("mixedcase");
  EXPECT_EQ(std::vector<std::string>{"Inner"}, SubkeyNames(parent));
  RegCloseKey(parent);
  HKEY root = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, nullptr, 0, KEY_READ, &root));
  EXPECT_EQ(std::vector<std::string>{"MixedCase"}, SubkeyNames(root));

  // Beyond ASCII too.
  RegCloseKey(Create("\xC3\x84rger"));  // "Ärger"
  EXPECT_TRUE(Exists("\xC3\xA4RGER"));  // "äRGER"
}

TEST_F(KeysTest, SubkeyPathsFollowTheWindowsRules) {
  HKEY key = nullptr;
  // A leading backslash is refused, except right below HKEY_CLASSES_ROOT.
  HKEY parent = Create("Paths");
  EXPECT_EQ(ERROR_BAD_PATHNAME, RegCreateKeyExA(parent, "\\Sub", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr));
  EXPECT_EQ(ERROR_BAD_PATHNAME, RegOpenKeyExA(HKEY_CURRENT_USER, "\\Software", 0, KEY_READ, &key));
  EXPECT_EQ(nullptr, key);
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "\\Paths", 0, KEY_READ, &key));
  RegCloseKey(key);
  // Trailing and doubled backslashes are skipped.
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, "One\\\\Two\\\\", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr));
  RegCloseKey(key);
  EXPECT_TRUE(Exists("Paths\\One\\Two"));
  // A name may have 255 characters, not more.
  std::string longest(255, 'x');
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, longest.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr));
  RegCloseKey(key);
  EXPECT_EQ(ERROR_INVALID_PARAMETER,
            RegCreateKeyExA(parent, (longest + "x").c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr));
  RegCloseKey(parent);
}

TEST_F(KeysTest, OpeningWithoutSubkeyGivesTheRootItselfOrANewHandle) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "", 0, KEY_READ, &key));
  EXPECT_EQ(HKEY_CLASSES_ROOT, key);
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_CLASSES_ROOT));  // closing a root does nothing

  HKEY parent = Create("Self");
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(parent, nullptr, 0, KEY_READ, &key));
  EXPECT_NE(parent, key);
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(parent));
}

TEST_F(KeysTest, MissingKeysBadHandlesAndNullPointersGiveErrorsNotCrashes) {
  HKEY key = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Nowhere", 0, KEY_READ, &key));
  EXPECT_EQ(nullptr, key);
  EXPECT_FALSE(Exists("Nowhere"));  // opening never creates

  HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x12345678));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExA(nullptr, "X", 0, KEY_READ, &key));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExA(bogus, "X", 0, KEY_READ, &key));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(nullptr));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(bogus));
  DWORD size = 0;
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExA(bogus, "v", nullptr, nullptr, nullptr, &size));

  HKEY closed = Create("Closed");
  ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(closed));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(closed));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegSetValueExA(closed, "v", 0, REG_DWORD, nullptr, 0));

  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Closed", 0, KEY_READ, nullptr));
  EXPECT_EQ(ERROR_BADKEY, RegCreateKeyExA(HKEY_CLASSES_ROOT, "X", 0, nullptr, 0, KEY_READ, nullptr, nullptr, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyA(HKEY_CLASSES_ROOT, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER,
            RegEnumKeyExA(HKEY_CLASSES_ROOT, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr));
  EXPECT_FALSE(Exists("X"));
}

TEST_F(KeysTest, DeleteKeyRefusesKeysWithSubkeysAndDeleteTreeTakesAll) {
  RegCloseKey(Create("Tree\\Branch\\Leaf"));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyA(HKEY_CLASSES_ROOT, "Tree\\Nothing"));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CLASSES_ROOT, "tree\\branch\\LEAF"));
  EXPECT_FALSE(Exists("Tree\\Branch\\Leaf"));
  EXPECT_TRUE(Exists("Tree\\Branch"));

  RegCloseKey(Create("Tree\\Branch\\Leaf"));
  HKEY tree = Create("Tree");
  SetString(tree, "kept?", "no");
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeA(tree, nullptr));  // empties the key, keeps it
  EXPECT_TRUE(Exists("Tree"));
  EXPECT_FALSE(Exists("Tree\\Branch"));
  EXPECT_EQ("<missing>", QueryString(tree, "kept?"));
  RegCloseKey(tree);

  RegCloseKey(Create("Tree\\Branch\\Leaf"));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_CLASSES_ROOT, "Tree"));
  EXPECT_FALSE(Exists("Tree"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteTreeA(HKEY_CLASSES_ROOT, "Tree"));

  // A root is never deleted.
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(HKEY_CLASSES_ROOT, ""));
}

TEST_F(KeysTest, HandlesOfDeletedKeysAnswerKeyDeleted) {
  HKEY key = Create("Doomed\\Child");
  HKEY parent = Create("Doomed");
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_CLASSES_ROOT, "Doomed"));

  HKEY sub = nullptr;
  DWORD size = 0;
  EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExA(key, "v", 0, REG_BINARY, nullptr, 0));
  EXPECT_EQ(ERROR_KEY_DELETED, RegCreateKeyExA(parent, "New", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr));
  EXPECT_EQ(ERROR_KEY_DELETED, RegOpenKeyExA(parent, "", 0, KEY_READ, &sub));

  // A new key of the same name is another key: the old handles stay deleted.
  HKEY again = Create("Doomed\\Child");
  EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExA(key, "v", 0, REG_BINARY, nullptr, 0));
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(again, "v", 0, REG_BINARY, nullptr, 0));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));  // closing still works
  RegCloseKey(parent);

  // RegDeleteKey with "" deletes the handle's own key.
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(again, ""));
  EXPECT_FALSE(Exists("Doomed\\Child"));
  EXPECT_EQ(ERROR_KEY_DELETED, RegDeleteKeyA(again, ""));
  RegCloseKey(again);
}

TEST_F(KeysTest, SubkeysEnumerateInCaseInsensitiveOrder) {
  for (const char* name : {"b", "C", "a", "_x", "B2", "aa"})
    RegCloseKey(Create((std::string("Order\\") + name).c_str()));
  HKEY order = Create("Order");
  // Sorted by upper-case form: '_' (0x5F) comes after the letters.
  EXPECT_EQ((std::vector<std::string>{"a", "aa", "b", "B2", "C", "_x"}), SubkeyNames(order));

  char name[3] = "";
  DWORD length = 2;  // "aa" needs 3 with its terminator
  EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExA(order, 1, name, &length, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(2u, length);
  EXPECT_STREQ("", name);
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyExA(order, 6, name, &length, nullptr, nullptr, nullptr, nullptr));
  RegCloseKey(order);
}

TEST_F(KeysTest, QueryInfoKeyCountsAndMeasures) {
  HKEY key = Create("Info");
  RegCloseKey(Create("Info\\Short"));
  RegCloseKey(Create("Info\\Longer name"));
  SetString(key, "Name", "12345");
  DWORD value = 7;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "LongestValueName", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4));

  DWORD subkeys = 0, maxSubkey = 0, values = 0, maxValueName = 0, maxData = 0;
  FILETIME written{0, 0};
  ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values,
                                            &maxValueName, &maxData, nullptr, &written));
  EXPECT_EQ(2u, subkeys);
  EXPECT_EQ(11u, maxSubkey);
  EXPECT_EQ(2u, values);
  EXPECT_EQ(16u, maxValueName);
  EXPECT_EQ(6u, maxData);  // "12345" and its terminator, narrow
  EXPECT_NE(0u, written.dwHighDateTime);

  ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                            &maxData, nullptr, nullptr));
  EXPECT_EQ(12u, maxData);  // the same text in UTF-16
  RegCloseKey(key);
}

TEST_F(KeysTest, RightsOfTheHandleAreChecked) {
  RegCloseKey(Create("Rights"));
  HKEY readOnly = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Rights", 0, KEY_READ, &readOnly));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(readOnly, "v", 0, REG_BINARY, nullptr, 0));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueA(readOnly, "v"));
  // Creating below a handle needs no right on it, as on Windows.
  HKEY child = Create("Child", readOnly);
  EXPECT_NE(nullptr, child);
  RegCloseKey(child);
  RegCloseKey(readOnly);

  HKEY writeOnly = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Rights", 0, KEY_SET_VALUE, &writeOnly));
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(writeOnly, "v", 0, REG_BINARY, nullptr, 0));
  DWORD size = 0;
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(writeOnly, "v", nullptr, nullptr, nullptr, &size));
  RegCloseKey(writeOnly);
}

TEST_F(KeysTest, EveryPredefinedRootIsItsOwnTree) {
  RegCloseKey(Create("Software\\Mine", HKEY_CURRENT_USER));
  RegCloseKey(Create("Software\\Theirs", HKEY_LOCAL_MACHINE));
  RegCloseKey(Create("Someone", HKEY_USERS));
  EXPECT_TRUE(Exists("Software\\Mine", HKEY_CURRENT_USER));
  EXPECT_FALSE(Exists("Software\\Mine", HKEY_LOCAL_MACHINE));
  EXPECT_FALSE(Exists("Software", HKEY_CLASSES_ROOT));
  EXPECT_TRUE(Exists("Someone", HKEY_USERS));
}

}  // namespace
