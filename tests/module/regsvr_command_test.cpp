// qzschemas regsvr as a person runs it, on a platform root of its own.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/run_command.h"
#include "support/temp_root.h"

namespace {

class RegsvrCommandTest : public testing::Test {
 protected:
  void SetUp() override { root_ = qztest::FreshDirectory("regsvr-root"); }

  qztest::CommandRun Regsvr(const std::string& arguments) {
    return qztest::RunCommand("QZ_ROOT='" + root_.string() + "' '" + QZ_CLI + "' regsvr " + arguments);
  }

  std::filesystem::path root_;
};

TEST_F(RegsvrCommandTest, RegistersAndUnregistersTheLibraryBuiltBesideIt) {
  const std::string library = QZ_LIBRARY;
  qztest::CommandRun registered = Regsvr("");
  EXPECT_EQ(0, registered.exitCode);
  EXPECT_EQ("DllRegisterServer in " + library + " succeeded.\n", registered.output);
  EXPECT_TRUE(std::filesystem::exists(root_ / "drive_c/WINDOWS/system32/qzschemaerr.htm"));

  qztest::CommandRun unregistered = Regsvr("/u");
  EXPECT_EQ(0, unregistered.exitCode);
  EXPECT_EQ("DllUnregisterServer in " + library + " succeeded.\n", unregistered.output);

  // Nothing is registered any more: the type library cannot be unregistered.
  qztest::CommandRun again = Regsvr("/u");
  EXPECT_EQ(1, again.exitCode);
  EXPECT_NE(std::string::npos, again.output.find("DllUnregisterServer in " + library + " failed: 0x80070057"))
      << again.output;
  qztest::CommandRun silent = Regsvr("/s /U");
  EXPECT_EQ(1, silent.exitCode);
  EXPECT_EQ("", silent.output);
}

TEST_F(RegsvrCommandTest, TheLibrarysMessagesEachEndALine) {
  std::filesystem::create_directories(root_ / "drive_c/WINDOWS/system32/qzschemaerr.htm");
  qztest::CommandRun run = Regsvr("");
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ(std::string("Failed to register the file : C:\\WINDOWS\\system32\\qzschemaerr.htm\n") +
                "DllRegisterServer in " + QZ_LIBRARY + " succeeded.\n",
            run.output);
}

TEST_F(RegsvrCommandTest, ALibraryThatIsMissingOrNoServerIsReported) {
  qztest::CommandRun missing = Regsvr("'" + (root_ / "none.so").string() + "'");
  EXPECT_EQ(1, missing.exitCode);
  EXPECT_NE(std::string::npos, missing.output.find("0x8007007E The specified module could not be found."))
      << missing.output;

  qztest::CommandRun noServer = Regsvr(std::string("'") + QZ_NOT_A_SERVER + "'");
  EXPECT_EQ(1, noServer.exitCode);
  EXPECT_NE(std::string::npos, noServer.output.find("has no entry point DllRegisterServer")) << noServer.output;

  EXPECT_EQ(2, Regsvr("/x").exitCode);
  EXPECT_EQ(2, Regsvr("a.so b.so").exitCode);
}

}  // namespace
