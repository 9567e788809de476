// The drive model: how Windows paths reach the POSIX file system.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <qzwin/platform.h>
#include <windows.h>

#include "drive_c.h"
#include "support/temp_root.h"

namespace {

std::string Posix(const char* windowsPath) {
  std::string result;
  EXPECT_TRUE(qzwin::ToPosixPath(windowsPath, &result)) << windowsPath;
  return result;
}

TEST(DriveModel, MapsDriveLettersAndKeepsPosixPaths) {
  std::string driveC = qztest::TempRoot().string() + "/drive_c";
  EXPECT_EQ(Posix("C:\\WINDOWS\\system32"), driveC + "/WINDOWS/system32");
  EXPECT_EQ(Posix("c:/Program Files\\x.xml"), driveC + "/Program Files/x.xml");
  EXPECT_EQ(Posix("C:\\"), driveC);
  EXPECT_EQ(Posix("C:"), driveC);
  EXPECT_EQ(Posix("\\Temp\\a"), driveC + "/Temp/a");  // rooted on the current drive
  EXPECT_EQ(Posix("Z:\\etc\\hosts"), "/etc/hosts");
  EXPECT_EQ(Posix("z:\\"), "/");
  EXPECT_EQ(Posix("/tmp/a b/c"), "/tmp/a b/c");
  EXPECT_EQ(Posix("dir\\file.xml"), "dir/file.xml");

  std::string unused;
  EXPECT_FALSE(qzwin::ToPosixPath("D:\\x", &unused));
  EXPECT_FALSE(qzwin::ToPosixPath("\\\\server\\share\\x", &unused));
  EXPECT_FALSE(qzwin::ToPosixPath("", &unused));
  EXPECT_FALSE(qzwin::ToPosixPath("C:\\x", nullptr));
}

TEST(DriveModel, DotDotNeverClimbsAboveTheDriveRoot) {
  std::string driveC = qztest::TempRoot().string() + "/drive_c";
  EXPECT_EQ(Posix("C:\\a\\.\\b\\..\\c"), driveC + "/a/c");
  EXPECT_EQ(Posix("C:\\..\\..\\etc\\passwd"), driveC + "/etc/passwd");
  EXPECT_EQ(Posix("C:\\a\\\\b\\"), driveC + "/a/b");
}

TEST(DriveModel, WindowsPathIsTheInverse) {
  std::string driveC = qztest::TempRoot().string() + "/drive_c";
  EXPECT_EQ(qzwin::ToWindowsPath(driveC + "/WINDOWS/system32"), "C:\\WINDOWS\\system32");
  EXPECT_EQ(qzwin::ToWindowsPath(driveC), "C:\\");
  std::string sibling = "Z:" + driveC + "x/y";  // shares a prefix with the drive, lies outside it
  for (char& c : sibling)
    if (c == '/') c = '\\';
  EXPECT_EQ(qzwin::ToWindowsPath(driveC + "x/y"), sibling);
  EXPECT_EQ(qzwin::ToWindowsPath("/usr/lib"), "Z:\\usr\\lib");
  EXPECT_EQ(qzwin::ToWindowsPath("rel/a"), "rel\\a");
}

TEST(DriveModel, RootFollowsTheEnvironmentOnEveryCall) {
  std::string saved = qztest::TempRoot().string();
  setenv("QZ_ROOT", "/elsewhere/root/", 1);
  EXPECT_EQ(qzwin::PlatformRoot(), "/elsewhere/root");
  EXPECT_EQ(Posix("C:\\a"), "/elsewhere/root/drive_c/a");
  setenv("QZ_ROOT", saved.c_str(), 1);
  EXPECT_EQ(qzwin::PlatformRoot(), saved);
}

TEST(DriveModel, ExistingNamesAreFoundWithoutRegardToCase) {
  kerneltest::DriveCFolder folder("case");
  folder.Write("Schemas/My.XSD", "x");
  std::string resolved;
  ASSERT_TRUE(qzwin::ResolvePosixPath(folder.Win("SCHEMAS\\my.xsd"), &resolved));
  EXPECT_EQ(resolved, (folder.posix / "Schemas/My.XSD").string());
  // What does not exist keeps its spelling, below the part that does.
  ASSERT_TRUE(qzwin::ResolvePosixPath(folder.Win("schemas\\New\\File.txt"), &resolved));
  EXPECT_EQ(resolved, (folder.posix / "Schemas/New/File.txt").string());
  // POSIX paths are exact.
  std::string posix = (folder.posix / "schemas/my.xsd").string();
  ASSERT_TRUE(qzwin::ResolvePosixPath(posix, &resolved));
  EXPECT_EQ(resolved, posix);

  EXPECT_NE(GetFileAttributesA(folder.Win("sChEmAs\\MY.xsd").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SystemDirectory, AnswersLikeWindowsAndExists) {
  char buffer[MAX_PATH];
  EXPECT_EQ(GetSystemDirectoryA(buffer, sizeof(buffer)), 19u);
  EXPECT_STREQ(buffer, "C:\\WINDOWS\\system32");
  EXPECT_TRUE(std::filesystem::is_directory(qztest::TempRoot() / "drive_c/WINDOWS/system32"));

  // Too small: the size needed, terminator included, and nothing written.
  char small[19];
  std::memset(small, '#', sizeof(small));
  EXPECT_EQ(GetSystemDirectoryA(small, sizeof(small)), 20u);
  EXPECT_EQ(small[0], '#');
  EXPECT_EQ(GetSystemDirectoryA(nullptr, 0), 20u);
}

}  // namespace
