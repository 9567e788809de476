// Writing built-in documents into the system directory: byte for byte over
// any older copy, or the failure message on standard output and E_FAIL.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>
#include <qzwin/platform.h>

#include "module/QZModule.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

// Where the stand-in keeps C:\WINDOWS\system32.
fs::path SystemDirectory() {
  char directory[MAX_PATH] = "";
  GetSystemDirectoryA(directory, MAX_PATH);
  std::string posix;
  EXPECT_TRUE(qzwin::ToPosixPath(directory, &posix));
  return posix;
}

using qztest::ReadFile;

// The RT_HTML resource as this test program carries it.
std::string Resource(WORD id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_HTML);
  if (found == nullptr) return "<missing>";
  return std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                     SizeofResource(module, found));
}

class SystemDirectoryFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(SystemDirectory());
    fs::create_directories(SystemDirectory());
  }

  // The call, with what it printed on standard output.
  HRESULT Write(UINT id, const char* name, std::string* printed) {
    testing::internal::CaptureStdout();
    HRESULT hr = module_.WriteResourceToSystemDirectory(id, name);
    fflush(stdout);
    *printed = testing::internal::GetCapturedStdout();
    return hr;
  }

  CQZModule module_;
};

TEST_F(SystemDirectoryFilesTest, WritesEachDocumentByteForByteOverAnOlderCopy) {
  const struct {
    WORD id;
    const char* name;
  } files[] = {{207, "qzschemaerr.htm"}, {201, "Tavel-basic-datatypes.xml"}, {209, "Standard-report.xml"}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    std::ofstream(SystemDirectory() / file.name, std::ios::binary) << std::string(300000, 'x');
    std::string printed;
    ASSERT_EQ(S_OK, Write(file.id, file.name, &printed));
    EXPECT_EQ("", printed);
    // POSIX streams keep every byte: CR LF stays CR LF, never CR CR LF.
    EXPECT_TRUE(ReadFile(SystemDirectory() / file.name) == Resource(file.id)) << "differs from the resource";
  }
}

TEST_F(SystemDirectoryFilesTest, AFileThatCannotBeOpenedIsReportedOnStandardOutput) {
  fs::create_directory(SystemDirectory() / "qzschemaerr.htm");  // not even root opens a folder for writing
  std::string printed;
  EXPECT_EQ(E_FAIL, Write(207, "qzschemaerr.htm", &printed));
  EXPECT_EQ("Failed to register the file : C:\\WINDOWS\\system32\\qzschemaerr.htm", printed);
}

TEST_F(SystemDirectoryFilesTest, APathTooLongForItsBufferIsRefusedNotCut) {
  // "C:\WINDOWS\system32\" is 20 characters: 239 more fill the 260 bytes.
  const std::string longest(239, 'a');
  const std::string tooLong(240, 'a');
  std::string printed;
  EXPECT_EQ(E_FAIL, Write(201, tooLong.c_str(), &printed));
  EXPECT_EQ("Failed to register the file : " + tooLong, printed);
  EXPECT_TRUE(fs::is_empty(SystemDirectory()));
  // One shorter fits, terminator included.
  EXPECT_EQ(S_OK, Write(201, longest.c_str(), &printed));
  EXPECT_TRUE(fs::exists(SystemDirectory() / longest));
}

TEST_F(SystemDirectoryFilesTest, AMissingDocumentLeavesTheOlderCopy) {
  std::ofstream(SystemDirectory() / "old.htm", std::ios::binary) << "kept";
  std::string printed;
  EXPECT_EQ(E_FAIL, Write(299, "old.htm", &printed));
  EXPECT_EQ("kept", ReadFile(SystemDirectory() / "old.htm"));
}

}  // namespace
