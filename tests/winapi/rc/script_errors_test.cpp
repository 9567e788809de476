// Scripts qzrc must refuse, each with the file and line of the fault.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "support/run_command.h"
#include "support/temp_root.h"

namespace {

namespace fs = std::filesystem;

qztest::CommandRun Compile(const fs::path& script, const fs::path& source) {
  return qztest::RunCommand(std::string("'") + QZ_QZRC + "' '" + script.string() + "' '" + source.string() + "'");
}

TEST(ScriptErrorsTest, BadStatementsAreRefusedAtTheirLine) {
  struct Case {
    const char* script;
    const char* where;
    const char* message;
  };
  const Case cases[] = {
      // Conditionals.
      {"#if 1\n1 RCDATA BEGIN 1 END\n", ":1:", "#if without #endif"},
      {"#endif\n", ":1:", "#endif without #if"},
      {"#if 1\n#else\n#else\n#endif\n", ":3:", "#else after #else"},
      {"#if (1\n#endif\n", ":1:", "expected ')'"},
      {"#ifdef\n#endif\n", ":1:", "unexpected end of line"},
      {"#if 0\n#error never\n#else\n#error reached\n#endif\n", ":4:", "#error reached"},
      {"#pragma code_page(437)\n", ":1:", "code page 437 is not supported"},
      // Dialogs.
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", 1, 0, 0, 5\nEND\n", ":4:", "'END' is not a number"},
      {"1 DIALOG 0, 0, 10, 10\nSTYLE WS_BOGUS\nBEGIN\nEND\n", ":2:", "'WS_BOGUS' is not a number"},
      {"1 DIALOG 0, 0, 40000, 10\nBEGIN\nEND\n", ":1:", "outside -32768..32767"},
      {"1 DIALOG 0, 0, 10, 10, 5\nBEGIN\nEND\n", ":1:", "DIALOGEX only"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  LISTVIEW 1, 0, 0, 5, 5\nEND\n", ":3:", "'LISTVIEW' is not supported"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  CONTROL \"a\", 1, 7, 0, 0, 0, 5, 5\nEND\n", ":3:", "expected a window class"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n", ":2:", "unexpected end of script"},
      // String tables, version blocks, inline data.
      {"STRINGTABLE\nBEGIN\n 1 \"a\"\n 1 \"b\"\nEND\n", ":4:", "string 1 is already defined at line 3"},
      {"STRINGTABLE\nBEGIN\n 1 2\nEND\n", ":3:", "expected a string in quotes"},
      {"STRINGTABLE\nBEGIN\n 70000 \"a\"\nEND\n", ":3:", "does not fit in 16 bits"},
      {"1 VERSIONINFO\nFILEVERSION 1,2\nBEGIN\n VALUE \"a\", 1, \"b\"\nEND\n", ":4:", "either texts or numbers"},
      {"1 VERSIONINFO\nBEGIN\n STRING \"a\"\nEND\n", ":3:", "expected BLOCK, VALUE or END"},
      {"1 RCDATA\nBEGIN\n 70000\nEND\n", ":3:", "L suffix"},
      {"1 RCDATA BEGIN \"\xC3\" END\n2 DIALOG 0,0,1,1 CAPTION \"\xC3(\" BEGIN END\n", ":2:", "not valid UTF-8"},
      {"1 RCDATA BEGIN 1 / 0 END\n", ":1:", "division by zero"},
      {"#define A B\n#define B A\n1 RCDATA BEGIN A END\n", ":3:", "nested too deeply"},
  };
  fs::path dir = qztest::FreshDirectory("qzrc-statement-errors");
  int index = 0;
  for (const Case& c : cases) {
    fs::path script = dir / ("bad" + std::to_string(++index) + ".rc");
    std::ofstream(script, std::ios::binary) << c.script;
    fs::path source = dir / "out.cpp";
    qztest::CommandRun run = Compile(script, source);
    EXPECT_EQ(run.exitCode, 1) << c.script;
    EXPECT_NE(run.output.find(script.filename().string() + c.where), std::string::npos) << c.script << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.script << run.output;
    EXPECT_FALSE(fs::exists(source)) << c.script;
  }
}

// A data file the build makes lies outside the script's folder: it is found
// in the folders given with -I, beside the script first.
TEST(ScriptErrorsTest, DataFilesAreFoundBesideTheScriptThenInEachDataFolder) {
  fs::path dir = qztest::FreshDirectory("qzrc-data-dirs");
  fs::create_directories(dir / "script");
  fs::create_directories(dir / "built");
  std::ofstream(dir / "script" / "data.rc", std::ios::binary) << "1 RCDATA \"made.bin\"\n";
  std::ofstream(dir / "built" / "made.bin", std::ios::binary) << "made";
  const std::string script = (dir / "script" / "data.rc").string();
  const std::string source = (dir / "out.cpp").string();

  qztest::CommandRun without = Compile(script, source);
  EXPECT_EQ(1, without.exitCode);
  EXPECT_NE(without.output.find("cannot open data file 'made.bin'"), std::string::npos) << without.output;

  const std::string withDir = std::string("'") + QZ_QZRC + "' -I '" + (dir / "empty").string() + "' -I '" +
                              (dir / "built").string() + "' '" + script + "' '" + source + "'";
  qztest::CommandRun with = qztest::RunCommand(withDir);
  EXPECT_EQ(0, with.exitCode) << with.output;
  EXPECT_TRUE(fs::exists(source));
}

}  // namespace
