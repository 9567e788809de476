// The resource compiler run as the build runs it, on scripts written here.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "loader_test_support.h"
#include "support/run_command.h"
#include "support/temp_root.h"

namespace {

namespace fs = std::filesystem;

qztest::CommandRun RunQzrc(const fs::path& script, const fs::path& source, const fs::path& depfile) {
  return qztest::RunCommand("'" + loadertest::kQzrcPath.string() + "' '" + script.string() + "' '" + source.string() +
                            "' '" + depfile.string() + "'");
}

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(QzrcTest, RefusesWhatItCannotCompileNamingFileAndLine) {
  struct Case {
    const char* script;
    const char* where;    // file:line the message must name
    const char* message;  // a part of the message
  };
  const Case cases[] = {
      {"\n\n7 RCDATA \"missing.bin\"\n", ":3:", "cannot open data file 'missing.bin'"},
      {"MYPAGE HTML \"a.htm\"\n", ":1:", "string names are not supported"},
      {"0 HTML \"a.htm\"\n", ":1:", "must lie in 1..65535"},
      {"1 HTML \"a.htm\"\n1 HTML \"a.htm\"\n", ":2:", "already defined at line 1"},
      {"LANGUAGE 9, 1\n1 HTML \"a.htm\"\nLANGUAGE 9, 1\n1 23 \"a.htm\"\n", ":4:", "already defined at line 2"},
      {"/* never closed\n1 HTML \"a.htm\"\n", ":1:", "never closed"},
      {"1 HTML \"a.htm\n", ":1:", "string is not closed"},
      {"#include \"missing.h\"\n", ":1:", "cannot open include file"},
      {"#include \"other.rc\"\n", ":1:", "only headers"},
      {"LANGUAGE LANG_KLINGON, 1\n", ":1:", "unknown language 'LANG_KLINGON'"},
      {"LANGUAGE 9 1\n", ":1:", "expected ','"},
      {"LANGUAGE 1024, 1\n", ":1:", "out of range"},
      {"1 HTML a.htm\n", ":1:", "expected a file name in quotes"},
      {"1 HTML \"C:\\\\data\\\\a.htm\"\n", ":1:", "relative to the script"},
      {"1 HTML\n", ":1:", "unexpected end of script"},
      {"\xFF\xFE" "1\n", ":1:", "UTF-16"},
  };
  fs::path dir = qztest::FreshDirectory("qzrc-errors");
  WriteText(dir / "a.htm", "<HTML></HTML>");
  int index = 0;
  for (const Case& c : cases) {
    fs::path script = dir / ("bad" + std::to_string(++index) + ".rc");
    WriteText(script, c.script);
    fs::path source = dir / "out.cpp";
    WriteText(source, "stale");
    qztest::CommandRun run = RunQzrc(script, source, dir / "out.d");
    EXPECT_EQ(run.exitCode, 1) << c.script;
    EXPECT_NE(run.output.find(script.filename().string() + c.where), std::string::npos) << c.script << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.script << run.output;
    EXPECT_FALSE(fs::exists(source)) << "no output may pass for the script's: " << c.script;
  }
}

TEST(QzrcTest, DepfileNamesScriptHeadersAndDataFiles) {
  fs::path dir = qztest::FreshDirectory("qzrc-depfile");
  fs::create_directories(dir / "sub dir");
  WriteText(dir / "sub dir" / "page.htm", "page");
  WriteText(dir / "ids.h", "#ifndef IDS_H\n#define IDS_H\n#define IDR_PAGE (201)\nint f(void);\n#endif\n");
  WriteText(dir / "app.rc", "#include \"ids.h\"\n#include <windows.h>\n#pragma code_page(1252)\n"
                            "IDR_PAGE HTML \"sub dir\\\\page.htm\"\n"
                            "IDR_PAGE RCDATA PRELOAD \"sub dir/page.htm\"\n");
  qztest::CommandRun run = RunQzrc(dir / "app.rc", dir / "app.cpp", dir / "app.d");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::string depfile = loadertest::ReadFile(dir / "app.d");
  EXPECT_EQ(depfile.find((dir / "app.cpp").string() + ":"), 0u) << depfile;
  EXPECT_NE(depfile.find((dir / "app.rc").string()), std::string::npos) << depfile;
  EXPECT_NE(depfile.find((dir / "ids.h").string()), std::string::npos) << depfile;
  EXPECT_NE(depfile.find("sub\\ dir/page.htm"), std::string::npos) << "blanks are escaped: " << depfile;
  std::string source = loadertest::ReadFile(dir / "app.cpp");
  EXPECT_NE(source.find("{23, nullptr, 201, 1033,"), std::string::npos) << source;
  EXPECT_NE(source.find("{10, nullptr, 201, 1033,"), std::string::npos) << source;
}

TEST(QzrcTest, WarnsWhenLanguageNamesLackTheHeaderThatDefinesThem) {
  fs::path dir = qztest::FreshDirectory("qzrc-language");
  WriteText(dir / "a.htm", "a");
  WriteText(dir / "bare.rc", "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n1 HTML \"a.htm\"\n");
  WriteText(dir / "sdk.rc", "#include <windows.h>\nLANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n1 HTML \"a.htm\"\n");
  qztest::CommandRun bare = RunQzrc(dir / "bare.rc", dir / "bare.cpp", dir / "bare.d");
  EXPECT_EQ(bare.exitCode, 0);
  EXPECT_NE(bare.output.find("bare.rc:1: warning: LANG_ENGLISH comes from <windows.h>"), std::string::npos)
      << bare.output;
  qztest::CommandRun sdk = RunQzrc(dir / "sdk.rc", dir / "sdk.cpp", dir / "sdk.d");
  EXPECT_EQ(sdk.exitCode, 0);
  EXPECT_EQ(sdk.output, "");
}

}  // namespace
