// FindFirstFileA: patterns, what a search finds, and the errors of a search
// that finds nothing.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>

#include "drive_c.h"

namespace {

class FindFiles : public testing::Test {
 protected:
  FindFiles() : folder_("find") {
    folder_.Write("Schema.XSD", "<schema/>");
    folder_.Write("notes.txt", "1234567");
    folder_.Write("README", "");
    folder_.Write("sub/inner.xml", "<x/>");
  }

  // Every name the search finds, in order; empty when it fails.
  std::vector<std::string> Find(const std::string& pattern, DWORD* error = nullptr) {
    WIN32_FIND_DATAA data;
    SetLastError(0);
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (error != nullptr) *error = GetLastError();
    std::vector<std::string> names;
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.emplace_back(data.cFileName);
    while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_NO_MORE_FILES});
    EXPECT_TRUE(FindClose(search));
    return names;
  }

  DWORD ErrorOf(const std::string& pattern) {
    DWORD error = 0;
    EXPECT_TRUE(Find(pattern, &error).empty()) << pattern;
    return error;
  }

  kerneltest::DriveCFolder folder_;
};

using Names = std::vector<std::string>;

TEST_F(FindFiles, WildcardsMatchWithinANameWithoutRegardToCase) {
  EXPECT_EQ(Find(folder_.Win("*.xsd")), Names{"Schema.XSD"});
  EXPECT_EQ(Find(folder_.Win("?otes.TXT")), Names{"notes.txt"});
  EXPECT_EQ(Find(folder_.Win("s*")), (Names{"Schema.XSD", "sub"}));
  EXPECT_EQ(Find(folder_.Win("*.*")), (Names{".", "..", "notes.txt", "README", "Schema.XSD", "sub"}))
      << "*.* also matches names without a dot";
  EXPECT_EQ(Find(folder_.Win("README.*")), Names{"README"});
  EXPECT_EQ(Find(folder_.Win("????")), Names{});
  EXPECT_EQ(Find(folder_.Win("sub\\*.xml")), Names{"inner.xml"});
}

TEST_F(FindFiles, OneNameFindsItsEntrySpelledAsOnDisk) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(folder_.Win("schema.xsd").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "Schema.XSD");
  EXPECT_EQ(data.nFileSizeLow, 9u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  EXPECT_FALSE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(FindNextFileA(search, &data));
  FindClose(search);

  // A directory's own path finds the directory.
  search = FindFirstFileA(folder_.Win("SUB").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "sub");
  EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  FindClose(search);

  // A name without a directory is looked for in the current one.
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder_.posix);
  search = FindFirstFileA("notes.txt", &data);
  std::filesystem::current_path(before);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "notes.txt");
  EXPECT_EQ(data.nFileSizeLow, 7u);
  FindClose(search);
}

// On this platform a symbolic link stands for what it points to.
TEST_F(FindFiles, ALinkShowsTheEntryItPointsTo) {
  std::filesystem::create_symlink(folder_.posix / "notes.txt", folder_.posix / "link.txt");
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(folder_.Win("link.txt").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "link.txt");
  EXPECT_EQ(data.nFileSizeLow, 7u);
  FindClose(search);

  std::filesystem::create_directory_symlink(folder_.posix / "sub", folder_.posix / "linked");
  search = FindFirstFileA(folder_.Win("linked").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  FindClose(search);
}

TEST_F(FindFiles, FailuresTellAMissingFileFromAMissingDirectory) {
  EXPECT_EQ(ErrorOf(folder_.Win("absent.xml")), DWORD{ERROR_FILE_NOT_FOUND});
  EXPECT_EQ(ErrorOf(folder_.Win("*.dtd")), DWORD{ERROR_FILE_NOT_FOUND});
  EXPECT_EQ(ErrorOf(folder_.Win("sub\\")), DWORD{ERROR_FILE_NOT_FOUND}) << "a trailing backslash names nothing";
  EXPECT_EQ(ErrorOf("C:\\"), DWORD{ERROR_FILE_NOT_FOUND});
  EXPECT_EQ(ErrorOf(folder_.Win("nodir\\a.xml")), DWORD{ERROR_PATH_NOT_FOUND});
  EXPECT_EQ(ErrorOf(folder_.Win("nodir\\")), DWORD{ERROR_PATH_NOT_FOUND});
  EXPECT_EQ(ErrorOf(folder_.Win("notes.txt\\x")), DWORD{ERROR_PATH_NOT_FOUND});
  EXPECT_EQ(ErrorOf(folder_.Win("s*\\inner.xml")), DWORD{ERROR_INVALID_NAME});
  EXPECT_EQ(ErrorOf("Q:\\x"), DWORD{ERROR_PATH_NOT_FOUND});
  EXPECT_EQ(ErrorOf(""), DWORD{ERROR_PATH_NOT_FOUND});
  EXPECT_EQ(ErrorOf(folder_.Win(std::string(MAX_PATH, 'a'))), DWORD{ERROR_FILENAME_EXCED_RANGE});
}

TEST_F(FindFiles, TheDriveRootListsNoDots) {
  Names names = Find("C:\\*");
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) EXPECT_NE(name.front(), '.') << name;
}

TEST_F(FindFiles, BadArgumentsGiveErrorsNotCrashes) {
  SetLastError(0);
  EXPECT_EQ(FindFirstFileA(folder_.Win("*").c_str(), nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
  WIN32_FIND_DATAA data;
  EXPECT_EQ(FindFirstFileA(nullptr, &data), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
  EXPECT_FALSE(FindClose(nullptr));

  HANDLE search = FindFirstFileA(folder_.Win("*").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CloseHandle(search)) << "a search is closed with FindClose";
  EXPECT_TRUE(FindClose(search));
  EXPECT_FALSE(FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
}

}  // namespace
