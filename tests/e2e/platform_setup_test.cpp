// qzschemas setup, status and the command line shared by every command,
// each case on a platform root of its own.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "support/temp_root.h"

namespace {

using e2e::CliRun;

class PlatformSetup : public testing::Test {
 protected:
  CliRun Cli(const std::string& arguments) { return e2e::RunCli(root_, arguments); }
  std::filesystem::path root_ = qztest::FreshDirectory("root");
};

TEST_F(PlatformSetup, EveryCommandHasHelpAndTheSameUsageExit) {
  const CliRun help = Cli("--help");
  EXPECT_EQ(0, help.exitCode);
  for (const char* command : {"setup", "validate", "status", "doctor", "encoding", "paths", "resolver", "regsvr",
                              "register", "unregister", "list"}) {
    EXPECT_TRUE(help.Says(std::string("  ") + command + " ")) << command;
    const CliRun own = Cli(std::string(command) + " --help");
    EXPECT_EQ(0, own.exitCode) << command;
    EXPECT_TRUE(own.Says(std::string("usage: qzschemas ") + command)) << command << ": " << own.out;
    EXPECT_EQ("", own.err) << command;
  }
  for (const char* wrong : {"validate", "setup --again", "status now", "doctor x", "resolver", "paths x", "regsvr /x",
                            "register", "frobnicate", ""}) {
    const CliRun run = Cli(wrong);
    EXPECT_EQ(2, run.exitCode) << wrong;
    EXPECT_TRUE(run.Tells("usage: qzschemas")) << wrong << ": " << run.err;
    EXPECT_EQ("", run.out) << wrong;
  }
}

TEST_F(PlatformSetup, VersionComesFromTheLibrarysVersionResource) {
  const CliRun version = Cli("--version");
  EXPECT_EQ(0, version.exitCode) << version.err;
  EXPECT_EQ(0u, version.out.find("qzschemas 22.0.0.507 (")) << version.out;
}

TEST_F(PlatformSetup, WithoutSetupCommandsSayHowToSetThePlatformUp) {
  for (const std::string& command : {"validate " + e2e::Example("measurement.xml"), std::string("status"),
                              std::string("list"), std::string("encoding")}) {
    const CliRun run = Cli(command);
    EXPECT_EQ(3, run.exitCode) << command;
    EXPECT_TRUE(run.Tells("qzschemas setup")) << command << ": " << run.err;
  }
  const CliRun status = Cli("status");
  EXPECT_TRUE(status.Says("path resolver      not installed")) << status.out;
  EXPECT_TRUE(status.Says("schema service     not registered")) << status.out;
}

TEST_F(PlatformSetup, SetupTwiceThenRemove) {
  const CliRun first = Cli("setup");
  ASSERT_EQ(0, first.exitCode) << first.out << first.err;
  EXPECT_TRUE(first.Says("DllRegisterServer in ")) << first.out;
  EXPECT_TRUE(first.Says("schema collection: x-schema:Tavel-basic-datatypes.xml\n")) << first.out;
  EXPECT_TRUE(first.Says("The platform is set up.\n")) << first.out;
  EXPECT_TRUE(std::filesystem::exists(e2e::OnDrive(root_, e2e::kSchemaCache)));
  EXPECT_TRUE(std::filesystem::exists(e2e::OnDrive(root_, std::string(e2e::kSystemDirectory) + "\\Standard-report.xml")));

  const CliRun again = Cli("setup");
  EXPECT_EQ(0, again.exitCode) << again.err;
  EXPECT_TRUE(again.Says("qzschemas.xml (1 entry)\n")) << again.out;
  EXPECT_TRUE(again.Says("The platform is set up (it was before; registered anew).")) << again.out;

  const CliRun status = Cli("status");
  EXPECT_EQ(0, status.exitCode) << status.out << status.err;
  EXPECT_TRUE(status.Says("path resolver      installed (")) << status.out;
  EXPECT_TRUE(status.Says("schema service     registered (")) << status.out;
  EXPECT_TRUE(status.Says("failed entry       none")) << status.out;
  EXPECT_TRUE(status.Says("x-schema:Tavel-basic-datatypes.xml       yes    yes        C:\\WINDOWS\\system32\\"))
      << status.out;

  const CliRun removed = Cli("setup --remove");
  EXPECT_EQ(0, removed.exitCode) << removed.err;
  EXPECT_TRUE(removed.Says("DllUnregisterServer in ")) << removed.out;
  EXPECT_TRUE(std::filesystem::exists(e2e::OnDrive(root_, e2e::kSchemaCache)));
  EXPECT_EQ(3, Cli("status").exitCode);
  const CliRun twice = Cli("setup --remove");
  EXPECT_EQ(0, twice.exitCode) << twice.err;
  EXPECT_TRUE(twice.Says("schema service: not registered")) << twice.out;
}

TEST_F(PlatformSetup, StatusShowsTheActiveEncoding) {
  ASSERT_EQ(0, Cli("setup").exitCode);
  EXPECT_TRUE(Cli("status").Says("active encoding    none (")) ;
  std::filesystem::copy_file(QZ_EXAMPLES_DIR "/qzencodings.xml", e2e::OnDrive(root_, e2e::kEncodings));
  const CliRun status = Cli("status");
  EXPECT_EQ(0, status.exitCode);
  EXPECT_TRUE(status.Says("active encoding    <?xml version='1.0' encoding ='ISO-8859-1'?>\n")) << status.out;
}

}  // namespace
