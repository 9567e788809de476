// _splitpath as the Windows C runtime splits paths.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

struct Split {
  const char* path;
  const char* drive;
  const char* dir;
  const char* fname;
  const char* ext;
};

TEST(SplitPath, SplitsLikeTheWindowsRuntime) {
  const Split cases[] = {
      {"C:\\Schemas\\My.xsd", "C:", "\\Schemas\\", "My", ".xsd"},
      {"D:/x/My.xsd", "D:", "/x/", "My", ".xsd"},
      {"My.xsd", "", "", "My", ".xsd"},
      {"C:\\Temp\\Plain", "C:", "\\Temp\\", "Plain", ""},
      {"a.b.c", "", "", "a.b", ".c"},
      {"file.", "", "", "file", "."},
      {".profile", "", "", "", ".profile"},
      {"dir/", "", "dir/", "", ""},
      {"C:", "C:", "", "", ""},
      {"C:\\dir.d\\name", "C:", "\\dir.d\\", "name", ""},
      {"\\\\srv\\share\\f.x", "", "\\\\srv\\share\\", "f", ".x"},
      {"", "", "", "", ""},
  };
  for (const Split& c : cases) {
    char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(c.path, drive, dir, fname, ext);
    EXPECT_STREQ(drive, c.drive) << c.path;
    EXPECT_STREQ(dir, c.dir) << c.path;
    EXPECT_STREQ(fname, c.fname) << c.path;
    EXPECT_STREQ(ext, c.ext) << c.path;
  }
}

TEST(SplitPath, TakesNullPartsAndCutsLongOnes) {
  char fname[_MAX_FNAME];
  _splitpath("C:\\a\\name.ext", nullptr, nullptr, fname, nullptr);
  EXPECT_STREQ(fname, "name");

  std::string longName(400, 'n');
  std::string longDir = "\\" + std::string(300, 'd') + "\\";
  char dir[_MAX_DIR + 8], name[_MAX_FNAME + 8], ext[_MAX_EXT];
  std::memset(dir, '#', sizeof(dir));
  std::memset(name, '#', sizeof(name));
  _splitpath((longDir + longName + ".x").c_str(), nullptr, dir, name, ext);
  EXPECT_EQ(std::string(dir), longDir.substr(0, _MAX_DIR - 1));
  EXPECT_EQ(std::string(name), longName.substr(0, _MAX_FNAME - 1));
  EXPECT_EQ(dir[_MAX_DIR], '#') << "nothing past the part's size";
  EXPECT_EQ(name[_MAX_FNAME], '#');
  EXPECT_STREQ(ext, ".x");

  _splitpath(nullptr, nullptr, dir, name, ext);
  EXPECT_STREQ(dir, "");
  EXPECT_STREQ(name, "");
}

}  // namespace
