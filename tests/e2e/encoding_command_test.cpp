// qzschemas encoding: usage, and what a user is told when the service is
// not there.
#include <string>

#include <gtest/gtest.h>

#include "support/run_command.h"

namespace {

qztest::CommandRun Encoding(const std::string& arguments) {
  return qztest::RunCommand(std::string("'") + QZ_CLI + "' encoding " + arguments);
}

TEST(EncodingCommand, UsageErrorsAndHelp) {
  const qztest::CommandRun help = Encoding("--help");
  EXPECT_EQ(0, help.exitCode);
  EXPECT_NE(std::string::npos, help.output.find("--apply IN OUT"));
  EXPECT_EQ(2, Encoding("--apply onlyone.xml").exitCode);
  EXPECT_EQ(2, Encoding("extra").exitCode);
}

TEST(EncodingCommand, WithoutTheRegisteredServiceSaysHowToSetThePlatformUp) {
  const qztest::CommandRun run = Encoding("");
  EXPECT_EQ(3, run.exitCode);
  EXPECT_NE(std::string::npos, run.output.find("qzschemas setup")) << run.output;
}

}  // namespace
