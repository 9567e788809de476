// The registry lives in one file: it survives the process, is shared with
// other processes, is never left half-written and is never silently lost.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include <qzwin/registry.h>

#include "support/files.h"
#include "registry_fixture.h"

namespace {

using PersistenceTest = RegistryTest;
namespace fs = std::filesystem;

using qztest::ReadFile;

// Runs body in a child process; its exit code is the body's result.
int InChild(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(PersistenceTest, AnyNameAndAnyBytesSurviveTheFile) {
  const std::u16string oddKey = u"100% \"odd\" [key]\n\t=\u00E9\U0001F600";
  const std::u16string loneSurrogate = std::u16string(u"half") + char16_t(0xD800);
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, (u"Odd\\" + oddKey).c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  std::vector<BYTE> everyByte;
  for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<BYTE>(i));
  const BYTE oddString[] = {'a', 0, 0, 0, 'b', 0};  // embedded NUL, no terminator
  const BYTE oddLength[] = {'x', 0, 'y'};
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, loneSurrogate.c_str(), 0, REG_BINARY, everyByte.data(), 256));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"%\"=@", 0, REG_SZ, oddString, sizeof oddString));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"odd length", 0, REG_EXPAND_SZ, oddLength, sizeof oddLength));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"type", 0, 0x12345, oddLength, 2));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"short dword", 0, REG_DWORD, oddLength, 2));
  RegCloseKey(key);
  RegCloseKey(Create("Odd\\Empty"));

  // Another root with a copy of the file: this process reads it afresh.
  fs::path copy = qztest::FreshDirectory("copy");
  fs::create_directories(copy / "registry");
  fs::copy_file(RegistryFile(), copy / "registry" / "registry.txt");
  setenv("QZ_ROOT", copy.c_str(), 1);

  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CLASSES_ROOT, (u"odd\\" + oddKey).c_str(), 0, KEY_READ, &key));
  auto query = [&](const std::u16string& name, DWORD expectedType) {
    BYTE data[300];
    DWORD size = sizeof data, type = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, name.c_str(), nullptr, &type, data, &size));
    EXPECT_EQ(expectedType, type);
    return std::vector<BYTE>(data, data + size);
  };
  EXPECT_EQ(everyByte, query(loneSurrogate, REG_BINARY));
  EXPECT_EQ(std::vector<BYTE>(oddString, oddString + 6), query(u"%\"=@", REG_SZ));
  EXPECT_EQ(std::vector<BYTE>(oddLength, oddLength + 3), query(u"odd length", REG_EXPAND_SZ));
  EXPECT_EQ(std::vector<BYTE>(oddLength, oddLength + 2), query(u"type", 0x12345));
  EXPECT_EQ(std::vector<BYTE>(oddLength, oddLength + 2), query(u"short dword", REG_DWORD));
  RegCloseKey(key);
  EXPECT_TRUE(Exists("Odd\\Empty"));
}

TEST_F(PersistenceTest, ProcessesSeeEachOthersChanges) {
  HKEY shared = Create("Shared");
  SetString(shared, "from", "parent");
  HKEY doomed = Create("Shared\\Doomed");

  // The child starts with the parent's cache; both then change the file.
  ASSERT_EQ(0, InChild([] {
              HKEY key = nullptr;
              if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "Shared\\FromChild", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr) != ERROR_SUCCESS) {
                return 1;
              }
              RegCloseKey(key);
              if (RegDeleteKeyA(HKEY_CLASSES_ROOT, "Shared\\Doomed") != ERROR_SUCCESS) return 2;
              return 0;
            }));
  EXPECT_TRUE(Exists("Shared\\FromChild"));
  EXPECT_FALSE(Exists("Shared\\Doomed"));
  EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExA(doomed, "v", 0, REG_BINARY, nullptr, 0));
  EXPECT_EQ("parent", QueryString(shared, "from"));  // handles of keys that stay are still good

  SetString(shared, "later", "parent");
  EXPECT_EQ(
      0, InChild([] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "Shared", 0, KEY_READ, &key) != ERROR_SUCCESS) return 1;
        char text[16];
        DWORD size = sizeof text;
        if (RegQueryValueExA(key, "later", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
          return 2;
        return std::string(text) == "parent" ? 0 : 3;
      }));
  RegCloseKey(doomed);
  RegCloseKey(shared);
}

TEST_F(PersistenceTest, AGroupOfReadsSeesTheRegistryAsItStoodAtItsFirstRead) {
  HKEY key = Create("Grouped");
  SetString(key, "value", "first");
  auto setInChild = [](const char* text) {
    return InChild([text] {
      HKEY child = nullptr;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "Grouped", 0, KEY_SET_VALUE, &child) != ERROR_SUCCESS) return 1;
      const LONG status = RegSetValueExA(child, "value", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                         static_cast<DWORD>(std::strlen(text) + 1));
      RegCloseKey(child);
      return status == ERROR_SUCCESS ? 0 : 2;
    });
  };
  {
    const qzwin::RegistryReadGroup reads;
    EXPECT_EQ("first", QueryString(key, "value"));
    ASSERT_EQ(0, setInChild("second"));
    EXPECT_EQ("first", QueryString(key, "value"));
    {
      const qzwin::RegistryReadGroup inner;
      EXPECT_EQ("first", QueryString(key, "value"));
    }
    EXPECT_EQ("first", QueryString(key, "value")) << "the outer group goes on";
  }
  EXPECT_EQ("second", QueryString(key, "value"));

  ASSERT_EQ(0, setInChild("third"));
  {
    const qzwin::RegistryReadGroup reads;
    EXPECT_EQ("third", QueryString(key, "value")) << "a new group looks at the file again";
  }
  RegCloseKey(key);
}

TEST_F(PersistenceTest, ConcurrentWritersLoseNothing) {
  constexpr int kWriters = 3;
  constexpr int kKeysEach = 40;
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    pid_t pid = fork();
    if (pid == 0) {
      for (int i = 0; i < kKeysEach; ++i) {
        std::string name = "Concurrent\\W" + std::to_string(writer) + "K" + std::to_string(i);
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
          _exit(1);
        }
        DWORD value = static_cast<DWORD>(i);
        if (RegSetValueExA(key, "i", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4) != ERROR_SUCCESS) _exit(2);
        RegCloseKey(key);
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  HKEY all = Create("Concurrent");
  DWORD subkeys = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(all, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(static_cast<DWORD>(kWriters * kKeysEach), subkeys);
  RegCloseKey(all);
}

TEST_F(PersistenceTest, AFailedWriteChangesNothing) {
  HKEY key = Create("Safe");
  SetString(key, "v", "old");
  std::string before = ReadFile(RegistryFile());

  // The new file cannot be made (a folder stands in its place; root may write anywhere else).
  fs::create_directory(RegistryFile().string() + ".new");
  EXPECT_EQ(ERROR_CANTWRITE, RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("new"), 4));
  HKEY sub = nullptr;
  EXPECT_EQ(ERROR_CANTWRITE, RegCreateKeyExA(key, "Sub", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr));
  EXPECT_EQ(before, ReadFile(RegistryFile()));
  EXPECT_EQ("old", QueryString(key, "v"));
  EXPECT_FALSE(Exists("Safe\\Sub"));
  fs::remove(RegistryFile().string() + ".new");

  // The disk fills up halfway through writing.
  std::vector<BYTE> big(20000, 0xAB);
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "big", 0, REG_BINARY, big.data(), static_cast<DWORD>(big.size())));
  before = ReadFile(RegistryFile());
  EXPECT_EQ(
      0, InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {8192, 8192};
        setrlimit(RLIMIT_FSIZE, &limit);
        return RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("new"), 4) == ERROR_CANTWRITE ? 0 : 1;
      }));
  EXPECT_EQ(before, ReadFile(RegistryFile()));
  EXPECT_EQ("old", QueryString(key, "v"));
  SetString(key, "v", "newer");
  EXPECT_EQ("newer", QueryString(key, "v"));
  RegCloseKey(key);
}

TEST_F(PersistenceTest, ACorruptFileIsKeptAsideAndReportedOnce) {
  fs::create_directories(RegistryFile().parent_path());
  const std::string garbage = "qzwin-registry 1\n[HKEY_CLASSES_ROOT\\Fine]\nthis is not a registry line\n";
  std::ofstream(RegistryFile(), std::ios::binary) << garbage;

  testing::internal::CaptureStderr();
  EXPECT_FALSE(Exists("Fine"));
  EXPECT_FALSE(Exists("Fine"));
  std::string reported = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, reported.find("line 3")) << reported;
  EXPECT_EQ(reported.find("registry: "), reported.rfind("registry: ")) << "reported more than once: " << reported;

  std::vector<fs::path> aside;
  for (const auto& entry : fs::directory_iterator(RegistryFile().parent_path())) {
    if (entry.path().filename().string().rfind("registry.txt.corrupt-", 0) == 0) aside.push_back(entry.path());
  }
  ASSERT_EQ(1u, aside.size());
  EXPECT_EQ(garbage, ReadFile(aside[0]));

  RegCloseKey(Create("AfterCorruption"));
  EXPECT_TRUE(Exists("AfterCorruption"));
}

TEST_F(PersistenceTest, EveryKindOfDamageIsCaughtNotMisread) {
  const std::string header = "qzwin-registry 1\n";
  const std::string damaged[] = {
      "",
      "[HKEY_CLASSES_ROOT\\A]\n",  // no header
      header + "@=sz:\"outside a key\"\n",
      header + "[HKEY_NOWHERE\\A]\n",
      header + "[HKEY_CLASSES_ROOT\\A\\\\B]\n",  // an empty key name
      header + "[HKEY_CLASSES_ROOT\\A%]\n",
      header + "[HKEY_CLASSES_ROOT\\A%u12]\n",
      header + "[HKEY_CLASSES_ROOT\\A%zz]\n",
      header + "[HKEY_CLASSES_ROOT\\\xC3(]\n",  // not UTF-8
      header + "[HKEY_CLASSES_ROOT\\A]\n\"v\"=dword:123\n",
      header + "[HKEY_CLASSES_ROOT\\A]\n\"v\"=binary:abc\n",
      header + "[HKEY_CLASSES_ROOT\\A]\n\"v\"=hex(99999999999):00\n",
      header + "[HKEY_CLASSES_ROOT\\A]\n\"v\"=sz:\"unterminated\n",
      header + "[HKEY_CLASSES_ROOT\\A]\n\"v\"=qword:00\n",
      header + "[HKEY_CLASSES_ROOT\\A]\n\"\"=sz:\"an empty name is written @\"\n",
  };
  fs::create_directories(RegistryFile().parent_path());
  for (const std::string& text : damaged) {
    std::ofstream(RegistryFile(), std::ios::binary | std::ios::trunc) << text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Exists("A")) << text;
    EXPECT_NE("", testing::internal::GetCapturedStderr()) << text;
    EXPECT_FALSE(fs::exists(RegistryFile())) << text;  // put aside, not overwritten
  }
}

TEST_F(PersistenceTest, AnUnreadableFileIsAnErrorNotAnEmptyRegistry) {
  fs::create_directories(RegistryFile());  // a folder where the file should be
  HKEY key = nullptr;
  EXPECT_EQ(ERROR_CANTREAD, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Any", 0, KEY_READ, &key));
  EXPECT_EQ(ERROR_CANTREAD, RegCreateKeyExA(HKEY_CLASSES_ROOT, "Any", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr));
  EXPECT_TRUE(fs::is_directory(RegistryFile()));
}

TEST_F(PersistenceTest, EachPlatformRootHasItsOwnRegistry) {
  HKEY first = Create("InFirst");
  fs::path firstRoot = root_;
  SetUp();  // a second root
  EXPECT_FALSE(Exists("InFirst"));
  // A handle keeps to the registry it was opened in.
  SetString(first, "v", "first");
  EXPECT_EQ("first", QueryString(first, "v"));
  setenv("QZ_ROOT", firstRoot.c_str(), 1);
  EXPECT_TRUE(Exists("InFirst"));
  RegCloseKey(first);
}

}  // namespace
