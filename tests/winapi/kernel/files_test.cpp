// CreateFileA and friends: dispositions, share modes, errors as Windows
// reports them, and handles that are never followed blindly.
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

#include "drive_c.h"

namespace {

HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags = 0) {
  return CreateFileA(path.c_str(), access, share, nullptr, disposition, flags | FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs a call that must fail, and gives the error it left.
template <class Call>
DWORD ErrorOf(Call call) {
  SetLastError(0xDEADBEEF);
  call();
  return GetLastError();
}

TEST(Files, ReadingStopsShortAtTheEndOfTheFile) {
  kerneltest::DriveCFolder folder("files");
  folder.Write("a.xml", "<r/>");
  HANDLE file = Open(folder.Win("a.xml"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(file, nullptr), 4u);
  char buffer[16] = {};
  DWORD read = 99;
  ASSERT_TRUE(ReadFile(file, buffer, 5, &read, nullptr));  // size + 1, as a loader asks
  EXPECT_EQ(read, 4u);
  EXPECT_STREQ(buffer, "<r/>");
  ASSERT_TRUE(ReadFile(file, buffer, 5, &read, nullptr));
  EXPECT_EQ(read, 0u);
  EXPECT_TRUE(CloseHandle(file));
}

TEST(Files, CreationDispositionsBehaveAsOnWindows) {
  kerneltest::DriveCFolder folder("dispositions");
  std::string path = folder.Win("new.txt");
  EXPECT_EQ(ErrorOf([&] { Open(path, GENERIC_READ, 0, OPEN_EXISTING); }), DWORD{ERROR_FILE_NOT_FOUND});
  EXPECT_EQ(ErrorOf([&] { Open(folder.Win("missing\\x.txt"), GENERIC_READ, 0, OPEN_EXISTING); }),
            DWORD{ERROR_PATH_NOT_FOUND});

  HANDLE file = Open(path, GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "hello", 5, &written, nullptr));
  EXPECT_EQ(written, 5u);
  CloseHandle(file);

  EXPECT_EQ(ErrorOf([&] { Open(path, GENERIC_WRITE, 0, CREATE_NEW); }), DWORD{ERROR_FILE_EXISTS});
  file = Open(path, GENERIC_READ, 0, OPEN_ALWAYS);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_ALREADY_EXISTS});
  EXPECT_EQ(GetFileSize(file, nullptr), 5u);
  CloseHandle(file);
  file = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_ALREADY_EXISTS});
  EXPECT_EQ(GetFileSize(file, nullptr), 0u);
  CloseHandle(file);
  EXPECT_EQ(ErrorOf([&] { Open(path, GENERIC_READ, 0, TRUNCATE_EXISTING); }), DWORD{ERROR_INVALID_PARAMETER});
}

TEST(Files, ShareModesAreEnforcedBetweenHandles) {
  kerneltest::DriveCFolder folder("share");
  folder.Write("cache.xml", "<c/>");
  std::string path = folder.Win("cache.xml");

  HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  HANDLE second = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(second, INVALID_HANDLE_VALUE) << "readers that share reading coexist";
  CloseHandle(second);

  EXPECT_EQ(ErrorOf([&] { Open(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING); }),
            DWORD{ERROR_SHARING_VIOLATION});
  // The other spelling of the same file conflicts too, and nothing was truncated.
  EXPECT_EQ(ErrorOf([&] { Open(folder.Win("CACHE.XML"), GENERIC_WRITE, 0, CREATE_ALWAYS); }),
            DWORD{ERROR_SHARING_VIOLATION});
  EXPECT_EQ(GetFileSize(reader, nullptr), 4u);
  // A new reader that refuses to share reading conflicts with the open one.
  EXPECT_EQ(ErrorOf([&] { Open(path, GENERIC_READ, 0, OPEN_EXISTING); }), DWORD{ERROR_SHARING_VIOLATION});
  EXPECT_EQ(ErrorOf([&] { DeleteFileA(path.c_str()); }), DWORD{ERROR_SHARING_VIOLATION});

  CloseHandle(reader);
  HANDLE writer = Open(path, GENERIC_WRITE, 0, OPEN_EXISTING);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "closing the reader lifts its restriction";
  CloseHandle(writer);
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(Files, BadHandlesAndArgumentsGiveErrorsNotCrashes) {
  char buffer[4];
  DWORD count = 0;
  EXPECT_EQ(ErrorOf([&] { ReadFile(INVALID_HANDLE_VALUE, buffer, 4, &count, nullptr); }),
            DWORD{ERROR_INVALID_HANDLE});
  EXPECT_EQ(ErrorOf([&] { ReadFile(reinterpret_cast<HANDLE>(0x1234), buffer, 4, &count, nullptr); }),
            DWORD{ERROR_INVALID_HANDLE});
  EXPECT_EQ(ErrorOf([&] { WriteFile(nullptr, buffer, 4, &count, nullptr); }), DWORD{ERROR_INVALID_HANDLE});
  EXPECT_EQ(ErrorOf([&] { CloseHandle(nullptr); }), DWORD{ERROR_INVALID_HANDLE});
  EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);

  kerneltest::DriveCFolder folder("handles");
  folder.Write("f.txt", "abc");
  HANDLE file = Open(folder.Win("f.txt"), GENERIC_WRITE, 0, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ErrorOf([&] { ReadFile(file, buffer, 4, &count, nullptr); }), DWORD{ERROR_ACCESS_DENIED});
  EXPECT_EQ(ErrorOf([&] { ReadFile(file, buffer, 4, nullptr, nullptr); }), DWORD{ERROR_INVALID_PARAMETER});
  EXPECT_EQ(ErrorOf([&] { FindClose(file); }), DWORD{ERROR_INVALID_HANDLE}) << "a file is no search";
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(ErrorOf([&] { CloseHandle(file); }), DWORD{ERROR_INVALID_HANDLE}) << "closed twice";

  EXPECT_EQ(ErrorOf([&] { Open("", GENERIC_READ, 0, OPEN_EXISTING); }), DWORD{ERROR_PATH_NOT_FOUND});
  EXPECT_EQ(ErrorOf([] { CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); }),
            DWORD{ERROR_PATH_NOT_FOUND});
  EXPECT_EQ(ErrorOf([&] { Open("D:\\x.txt", GENERIC_READ, 0, OPEN_EXISTING); }), DWORD{ERROR_PATH_NOT_FOUND});
  EXPECT_EQ(ErrorOf([&] { Open(folder.Win("a*.txt"), GENERIC_READ, 0, OPEN_EXISTING); }),
            DWORD{ERROR_INVALID_NAME});
  std::string longPath = folder.Win(std::string(MAX_PATH, 'x'));
  EXPECT_EQ(ErrorOf([&] { Open(longPath, GENERIC_WRITE, 0, CREATE_ALWAYS); }), DWORD{ERROR_FILENAME_EXCED_RANGE});
}

TEST(Files, ReadOnlyFilesAndDirectoriesRefuseWriting) {
  kerneltest::DriveCFolder folder("readonly");
  std::string path = folder.Win("locked.txt");
  HANDLE file = Open(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_READONLY);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ErrorOf([&] { Open(path, GENERIC_WRITE, 0, OPEN_EXISTING); }), DWORD{ERROR_ACCESS_DENIED});
  EXPECT_EQ(ErrorOf([&] { DeleteFileA(path.c_str()); }), DWORD{ERROR_ACCESS_DENIED});

  EXPECT_EQ(ErrorOf([&] { Open(folder.windows, GENERIC_READ, 0, OPEN_EXISTING); }), DWORD{ERROR_ACCESS_DENIED});
  EXPECT_EQ(ErrorOf([&] { DeleteFileA(folder.windows.c_str()); }), DWORD{ERROR_ACCESS_DENIED});
  EXPECT_EQ(GetFileAttributesA(folder.windows.c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY});
}

// Any write bit, the owner's or another's, keeps a file writable.
TEST(Files, AFileIsReadOnlyOnlyWithNoWriteBitAtAll) {
  kerneltest::DriveCFolder folder("writebits");
  folder.Write("shared.txt", "x");
  const std::string path = folder.Win("shared.txt");
  namespace fs = std::filesystem;
  fs::permissions(folder.posix / "shared.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::group_write);
  EXPECT_FALSE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
  fs::permissions(folder.posix / "shared.txt", fs::perms::owner_read | fs::perms::group_read);
  EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST(Files, DirectoriesAreMadeAndRemovedWithWindowsErrors) {
  kerneltest::DriveCFolder folder("dirs");
  std::string sub = folder.Win("sub");
  EXPECT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  EXPECT_EQ(ErrorOf([&] { CreateDirectoryA(sub.c_str(), nullptr); }), DWORD{ERROR_ALREADY_EXISTS});
  EXPECT_EQ(ErrorOf([&] { CreateDirectoryA(folder.Win("no\\such").c_str(), nullptr); }),
            DWORD{ERROR_PATH_NOT_FOUND});
  folder.Write("sub/f.txt", "x");
  EXPECT_EQ(ErrorOf([&] { RemoveDirectoryA(sub.c_str()); }), DWORD{ERROR_DIR_NOT_EMPTY});
  EXPECT_TRUE(DeleteFileA(folder.Win("sub\\f.txt").c_str()));
  EXPECT_TRUE(RemoveDirectoryA(sub.c_str()));
  EXPECT_EQ(ErrorOf([&] { GetFileAttributesA(sub.c_str()); }), DWORD{ERROR_FILE_NOT_FOUND});
}

TEST(Files, FilePointerMovesAndRefusesNegativePositions) {
  kerneltest::DriveCFolder folder("seek");
  folder.Write("f.bin", "0123456789");
  HANDLE file = Open(folder.Win("f.bin"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_END), 7u);
  char c = 0;
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, &c, 1, &read, nullptr));
  EXPECT_EQ(c, '7');
  EXPECT_EQ(ErrorOf([&] { SetFilePointer(file, -20, nullptr, FILE_CURRENT); }), DWORD{ERROR_NEGATIVE_SEEK});
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 8u) << "a refused move leaves the position";
  LONG high = 0;
  EXPECT_EQ(SetFilePointer(file, 2, &high, FILE_BEGIN), 2u);
  EXPECT_EQ(high, 0);
  CloseHandle(file);
}

}  // namespace
