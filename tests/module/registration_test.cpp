// Self-registration as a client runs it: the registry entries, the type
// library, the three built-in files and the schema cache, and what
// unregistration takes away again.
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "library_test_support.h"
#include "support/resolver_installer.h"

namespace moduletest {
namespace {

namespace fs = std::filesystem;

const char kClassKey[] = "CLSID\\{AEFFB600-A7EE-477B-8E63-2E84D27581AF}";

// The registry lines registration adds, for the library at modulePath.
std::string ExpectedEntries(const std::string& modulePath) {
  const std::string clsid = "{AEFFB600-A7EE-477B-8E63-2E84D27581AF}";
  const std::string libid = "{9F8C9A12-6868-44D8-B9CE-12E403B3BD63}";
  const std::string folder = modulePath.substr(0, modulePath.find_last_of('\\'));
  const std::string version = "Qzschemas.QZXMLSchemaService";
  const std::string progId = version + ".1";
  const std::string classKey = "CLSID\\" + clsid;
  const std::string typeLib = "TypeLib\\" + libid;
  std::string lines;
  auto key = [&lines](const std::string& path) { lines += path + "\n"; };
  auto value = [&lines](const std::string& path, const char* name, const std::string& text) {
    lines += path + " " + name + " = " + text + "\n";
  };
  // Interfaces the type library describes for OLE Automation.
  auto automationInterface = [&](const std::string& iid, const char* name, const char* proxyStub) {
    const std::string path = "Interface\\" + iid;
    key(path);
    value(path, "@", name);
    key(path + "\\ProxyStubClsid");
    value(path + "\\ProxyStubClsid", "@", proxyStub);
    key(path + "\\ProxyStubClsid32");
    value(path + "\\ProxyStubClsid32", "@", proxyStub);
    key(path + "\\TypeLib");
    value(path + "\\TypeLib", "@", libid);
    value(path + "\\TypeLib", "Version", "1.6");
  };

  key(classKey);
  value(classKey, "@", "QZXMLSchemaService Class");
  key(classKey + "\\InprocServer32");
  value(classKey + "\\InprocServer32", "@", modulePath);
  value(classKey + "\\InprocServer32", "ThreadingModel", "Apartment");
  key(classKey + "\\ProgID");
  value(classKey + "\\ProgID", "@", progId);
  key(classKey + "\\Programmable");
  key(classKey + "\\TypeLib");
  value(classKey + "\\TypeLib", "@", libid);
  key(classKey + "\\VersionIndependentProgID");
  value(classKey + "\\VersionIndependentProgID", "@", version);
  automationInterface("{91204651-EA8A-40F3-B15C-93B864B7FF1B}", "IQZXMLSchemaService2", "{00020424-0000-0000-C000-000000000046}");
  automationInterface("{D20CF633-A2EE-42F9-84DB-D1FA05CF8C42}", "IQZXMLSchemaService", "{00020424-0000-0000-C000-000000000046}");
  automationInterface("{FB0841DE-8637-496C-9B23-22282F35FDE6}", "_IQZXMLSchemaServiceEvents",
            "{00020420-0000-0000-C000-000000000046}");
  key(version);
  value(version, "@", "QZXMLSchemaService Class");
  key(version + "\\CLSID");
  value(version + "\\CLSID", "@", clsid);
  key(version + "\\CurVer");
  value(version + "\\CurVer", "@", progId);
  key(progId);
  value(progId, "@", "QZXMLSchemaService Class");
  key(progId + "\\CLSID");
  value(progId + "\\CLSID", "@", clsid);
  key(typeLib);
  key(typeLib + "\\1.6");
  value(typeLib + "\\1.6", "@", "qzschemas 1.6 Type Library");
  key(typeLib + "\\1.6\\409");
  // The library describes this build's own vtables, 64-bit ones included.
  const std::string platform = typeLib + "\\1.6\\409\\" + (sizeof(void*) == 8 ? "win64" : "win32");
  key(platform);
  value(platform, "@", modulePath);
  key(typeLib + "\\1.6\\FLAGS");
  value(typeLib + "\\1.6\\FLAGS", "@", "0");
  key(typeLib + "\\1.6\\HELPDIR");
  value(typeLib + "\\1.6\\HELPDIR", "@", folder);
  return lines;
}

// Lines in the order the registry dump gives them.
std::string Sorted(const std::string& lines) {
  std::multiset<std::string> sorted;
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);) sorted.insert(line);
  std::string text;
  for (const std::string& line : sorted) text += line + "\n";
  return text;
}

fs::path SystemFile(const char* name) { return Posix(std::string(kSystemDirectory) + "\\" + name); }

const char* const kBuiltInFiles[] = {"qzschemaerr.htm", "Tavel-basic-datatypes.xml", "Standard-report.xml"};

using SelfRegistrationTest = LibraryTest;

TEST_F(SelfRegistrationTest, AddsExactlyTheClassEntriesAndTheTypeLibrarysAndWritesTheFiles) {
  // Keys every Windows has, so that only what registration adds shows.
  for (const char* root : {"TypeLib", "Interface"}) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, root, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    RegCloseKey(key);
  }
  const std::string before = DumpClassesRoot();
  StdoutCapture printed;
  ASSERT_EQ(S_OK, library_.Register());
  EXPECT_EQ("", printed.Take());
  EXPECT_EQ(Sorted(ExpectedEntries(library_.WindowsPath())), AddedLines(before, DumpClassesRoot()));

  for (const char* name : kBuiltInFiles) EXPECT_GT(fs::file_size(SystemFile(name)), 0u) << name;
  // The cache was missing: it is made, its entry naming the written schema.
  EXPECT_NE(std::string::npos, ReadFile(Posix(kCachePath))
                                   .find("Filename=\"C:\\WINDOWS\\system32\\Tavel-basic-datatypes.xml\""));
  EXPECT_EQ(0u, BoxesShown());
}

TEST_F(SelfRegistrationTest, UnregisteringKeepsTheClsidKeyTheFilesAndTheCache) {
  // With the resolver gone too, the class would be the only thing in CLSID.
  ASSERT_EQ(S_OK, resolvertest::UnregisterResolver());
  ASSERT_EQ(S_OK, library_.Register());
  const std::string cache = ReadFile(Posix(kCachePath));
  ASSERT_EQ(S_OK, library_.Unregister());

  const std::string after = DumpClassesRoot();
  EXPECT_NE(std::string::npos, after.find("\nCLSID\n")) << after;
  for (const char* gone : {"AEFFB600", "Qzschemas.QZXMLSchemaService", "D20CF633", "91204651", "FB0841DE",
                           "9F8C9A12-6868-44D8-B9CE-12E403B3BD63}\\1.6"}) {
    EXPECT_EQ(std::string::npos, after.find(gone)) << gone << " is left:\n" << after;
  }
  for (const char* name : kBuiltInFiles) EXPECT_TRUE(fs::exists(SystemFile(name))) << name;
  EXPECT_EQ(cache, ReadFile(Posix(kCachePath)));
}

TEST_F(SelfRegistrationTest, RegisteringAgainRewritesTheFilesAndTheKeys) {
  ASSERT_EQ(S_OK, library_.Register());
  const std::string registered = DumpClassesRoot();
  const std::string helpPage = ReadFile(SystemFile("qzschemaerr.htm"));

  for (const char* name : kBuiltInFiles) std::ofstream(SystemFile(name), std::ios::binary) << std::string(100000, 'x');
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\InprocServer32").c_str(), 0,
                                           nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("elsewhere.so"), 13);
  RegCloseKey(key);
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\Stale").c_str(), 0, nullptr,
                                           0, KEY_WRITE, nullptr, &key, nullptr));
  RegCloseKey(key);

  ASSERT_EQ(S_OK, library_.Register());
  EXPECT_EQ(registered, DumpClassesRoot()) << "the class key is written anew";
  EXPECT_EQ(helpPage, ReadFile(SystemFile("qzschemaerr.htm")));
  for (const char* name : kBuiltInFiles) EXPECT_LT(fs::file_size(SystemFile(name)), 100000u) << name;
}

TEST_F(SelfRegistrationTest, ASystemDirectoryThatCannotBeWrittenStillRegistersTheClass) {
  // Folders where the files go: not even root opens them for writing.
  for (const char* name : kBuiltInFiles) fs::create_directory(SystemFile(name));
  StdoutCapture printed;
  ASSERT_EQ(S_OK, library_.Register());
  EXPECT_EQ("Failed to register the file : C:\\WINDOWS\\system32\\qzschemaerr.htm"
            "Failed to register the file : C:\\WINDOWS\\system32\\Tavel-basic-datatypes.xml"
            "Failed to register the file : C:\\WINDOWS\\system32\\Standard-report.xml",
            printed.Take());
  EXPECT_NE(std::string::npos, DumpClassesRoot(kClassKey).find("InprocServer32 @ = " + library_.WindowsPath()));
  // The cache names the schema file that is not there, and nothing says so.
  EXPECT_NE(std::string::npos, ReadFile(Posix(kCachePath))
                                   .find("Filename=\"C:\\WINDOWS\\system32\\Tavel-basic-datatypes.xml\""));
  EXPECT_EQ(0u, BoxesShown());
}

TEST_F(SelfRegistrationTest, WithoutThePathResolverTheClassIsRegisteredAndTheCacheLeftSilently) {
  ASSERT_EQ(S_OK, resolvertest::UnregisterResolver());
  StdoutCapture printed;
  ASSERT_EQ(S_OK, library_.Register());
  EXPECT_EQ("", printed.Take());
  EXPECT_NE(std::string::npos, DumpClassesRoot(kClassKey).find("InprocServer32 @ = " + library_.WindowsPath()));
  EXPECT_FALSE(fs::exists(Posix(kCachePath)));
  EXPECT_EQ(0u, BoxesShown());
  for (const char* name : kBuiltInFiles) EXPECT_TRUE(fs::exists(SystemFile(name))) << name;
}

}  // namespace
}  // namespace moduletest
