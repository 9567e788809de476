#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <winbase.h>
#include <qzwin/platform.h>

#include "loader_test_support.h"
#include "test_ids.h"
#include "support/temp_root.h"

namespace {

using loadertest::kModulePath;

std::string DllMainLog() {
  const char* log = std::getenv("QZ_TEST_DLLMAIN_LOG");
  return log == nullptr ? "" : log;
}

class LibraryLoaderTest : public testing::Test {
 protected:
  void SetUp() override { unsetenv("QZ_TEST_DLLMAIN_LOG"); }
  void TearDown() override { unsetenv("QZ_TEST_REFUSE_ATTACH"); }
};

template <typename F>
F Export(HMODULE module, const char* name) {
  return reinterpret_cast<F>(GetProcAddress(module, name));
}

TEST_F(LibraryLoaderTest, LoadsByPosixAndWindowsPathAsOneReferenceCountedModule) {
  HMODULE first = LoadLibraryA(kModulePath.c_str());
  ASSERT_NE(first, nullptr) << GetLastError();
  EXPECT_EQ(DllMainLog(), "attach;");

  std::string windowsPath = qzwin::ToWindowsPath(kModulePath.string());
  ASSERT_EQ(windowsPath.substr(0, 3), "Z:\\");
  HMODULE second = LoadLibraryA(windowsPath.c_str());
  EXPECT_EQ(second, first);
  EXPECT_EQ(DllMainLog(), "attach;") << "a second load must not attach again";
  EXPECT_EQ(GetModuleHandleA(windowsPath.c_str()), first);
  EXPECT_EQ(GetModuleHandleA(kModulePath.filename().c_str()), first);

  // DllMain got the module handle and could switch thread calls off with it.
  auto instance = Export<HINSTANCE (*)()>(first, "TestModuleInstance");
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance(), first);
  auto answer = Export<int (*)()>(first, "TestModuleAnswer");
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);

  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_EQ(DllMainLog(), "attach;");
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(DllMainLog(), "attach;detach;");

  // The module is gone: its handle is no longer one.
  SetLastError(0);
  EXPECT_EQ(GetModuleHandleA(windowsPath.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(FreeLibrary(first));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(LibraryLoaderTest, LoadsFromTheCDriveUnderItsWindowsName) {
  std::filesystem::path folder = qztest::TempRoot() / "drive_c" / "Program Files" / "Test";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(kModulePath, folder / "tester.dll", std::filesystem::copy_options::overwrite_existing);

  HMODULE module = LoadLibraryA("C:\\Program Files\\Test\\tester.dll");
  ASSERT_NE(module, nullptr) << GetLastError();
  char path[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameA(module, path, sizeof path), std::strlen("C:\\Program Files\\Test\\tester.dll"));
  EXPECT_STREQ(path, "C:\\Program Files\\Test\\tester.dll");
  EXPECT_EQ(GetModuleHandleA("TESTER.DLL"), module) << "file names compare without case";
  EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(LibraryLoaderTest, ModuleFileNameIsCutToTheBufferAndTerminated) {
  HMODULE module = LoadLibraryA(kModulePath.c_str());
  ASSERT_NE(module, nullptr);
  const std::string expected = qzwin::ToWindowsPath(kModulePath.string());
  const DWORD length = static_cast<DWORD>(expected.size());

  std::vector<char> buffer(expected.size() + 8, '*');
  SetLastError(1234);
  EXPECT_EQ(GetModuleFileNameA(module, buffer.data(), length + 1), length);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(std::string(buffer.data()), expected);

  // No room for the terminator, half the room, one byte: cut and terminated.
  for (DWORD size : {length, length / 2, DWORD{1}}) {
    std::fill(buffer.begin(), buffer.end(), '*');
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(module, buffer.data(), size), size);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(buffer.data()), expected.substr(0, size - 1));
    EXPECT_EQ(buffer[size], '*') << "nothing written past the buffer";
  }
  EXPECT_EQ(GetModuleFileNameA(module, buffer.data(), 0), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  // A handle that is no module leaves the buffer alone.
  buffer[0] = '*';
  EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(0x10), buffer.data(), length + 1), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(buffer[0], '*');
  EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(LibraryLoaderTest, MainProgramIsAModuleToo) {
  HMODULE program = GetModuleHandleA(nullptr);
  ASSERT_NE(program, nullptr);
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, sizeof path), 0u);
  EXPECT_EQ(std::string(path), qzwin::ToWindowsPath(std::filesystem::read_symlink("/proc/self/exe").string()));
  char samePath[MAX_PATH];
  GetModuleFileNameA(program, samePath, sizeof samePath);
  EXPECT_STREQ(samePath, path);
  EXPECT_TRUE(DisableThreadLibraryCalls(program));
  EXPECT_TRUE(FreeLibrary(program)) << "modules the program was linked with stay loaded";
}

TEST_F(LibraryLoaderTest, FailuresAnswerWindowsErrors) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("C:\\no\\such\\module.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryA(""), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  EXPECT_EQ(LoadLibraryA("Q:\\unmapped\\drive.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

  // A file that is no module at all.
  std::filesystem::path text = qztest::FreshDirectory("loader") / "notes.dll";
  { std::ofstream(text) << "not a module\n"; }
  EXPECT_EQ(LoadLibraryA(text.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));

  HMODULE module = LoadLibraryA(kModulePath.c_str());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  // The kernel's exports are reachable from the module, but are not its own.
  EXPECT_EQ(GetProcAddress(module, "SetLastError"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(1)), nullptr) << "no exports by ordinal";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_TRUE(FreeLibrary(module));

  auto* bogus = reinterpret_cast<HMODULE>(0x10);
  EXPECT_EQ(GetProcAddress(bogus, "TestModuleAnswer"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(FreeLibrary(bogus));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(DisableThreadLibraryCalls(bogus));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetModuleHandleA("no-such-module.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(LibraryLoaderTest, RefusedAttachIsFollowedByDetachAndUnload) {
  setenv("QZ_TEST_REFUSE_ATTACH", "1", 1);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA(kModulePath.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
  EXPECT_EQ(DllMainLog(), "attach;detach;");
  EXPECT_EQ(GetModuleHandleA(kModulePath.c_str()), nullptr);

  unsetenv("QZ_TEST_REFUSE_ATTACH");
  HMODULE module = LoadLibraryA(kModulePath.c_str());
  ASSERT_NE(module, nullptr) << "a later load starts afresh";
  EXPECT_EQ(DllMainLog(), "attach;detach;attach;");
  EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(LibraryLoaderTest, ModulesStillLoadedAtExitAreDetachedBeforeTheirGlobalsGo) {
  const std::filesystem::path log = qztest::FreshDirectory("exit") / "dllmain.log";
  pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    setenv("QZ_KEEP_TEST_ROOT", "1", 1);  // the root is the parent's to remove
    setenv("QZ_TEST_DLLMAIN_FILE", log.c_str(), 1);
    std::exit(LoadLibraryA(kModulePath.c_str()) != nullptr ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(loadertest::ReadFile(log), "attach;detach at exit;globals destroyed;");
}

TEST_F(LibraryLoaderTest, ModuleHandleExCountsPinsOrLeavesTheCount) {
  HMODULE module = LoadLibraryA(kModulePath.c_str());
  ASSERT_NE(module, nullptr);
  HMODULE found = nullptr;
  auto answer = Export<const void*>(module, "TestModuleAnswer");
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 static_cast<LPCSTR>(answer), &found));
  EXPECT_EQ(found, module);
  ASSERT_TRUE(GetModuleHandleExA(0, kModulePath.c_str(), &found));  // one more reference
  EXPECT_EQ(found, module);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(DllMainLog(), "attach;");
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(DllMainLog(), "attach;detach;");

  EXPECT_FALSE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(0x10), &found));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(found, nullptr);
  EXPECT_FALSE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                  nullptr, &found));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  ASSERT_TRUE(GetModuleHandleExA(0, nullptr, &found));
  EXPECT_EQ(found, GetModuleHandleA(nullptr));
}

TEST_F(LibraryLoaderTest, ConcurrentLoadsAndFreesPairAttachWithDetach) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 40;
  std::vector<std::thread> threads;
  std::vector<int> failures(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < kRounds; ++i) {
        HMODULE module = LoadLibraryA(kModulePath.c_str());
        if (module == nullptr || GetProcAddress(module, "TestModuleAnswer") == nullptr ||
            FindResourceA(module, MAKEINTRESOURCEA(IDR_PAGE), RT_HTML) == nullptr || !FreeLibrary(module)) {
          ++failures[t];
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
  // However the threads interleaved, the module was attached and detached in turn.
  std::string log = DllMainLog();
  ASSERT_FALSE(log.empty());
  std::string pairs;
  while (pairs.size() < log.size()) pairs += "attach;detach;";
  EXPECT_EQ(log, pairs);
}

}  // namespace
