// qzschemas register, unregister and list, run as an installer runs them:
// usage, a platform without the service, and a round through the registered
// service.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "support/run_command.h"
#include "support/temp_root.h"

namespace {

qztest::CommandRun Cli(const std::string& arguments) {
  return qztest::RunCommand(std::string("'") + QZ_CLI + "' " + arguments);
}

bool Says(const qztest::CommandRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

TEST(SchemaFileCommands, UsageAndHelp) {
  for (const char* command : {"register", "unregister", "list"}) {
    const qztest::CommandRun help = Cli(std::string(command) + " --help");
    EXPECT_EQ(0, help.exitCode) << command;
    EXPECT_TRUE(Says(help, std::string("usage: qzschemas ") + command)) << help.output;
  }
  EXPECT_EQ(2, Cli("register").exitCode);
  EXPECT_EQ(2, Cli("unregister").exitCode);
  EXPECT_EQ(2, Cli("list extra").exitCode);
}

// Tests run in file order: this one comes before the service is registered.
TEST(SchemaFileCommands, WithoutTheServiceSaysHowToSetThePlatformUp) {
  const qztest::CommandRun run = Cli("register /tmp/any.xsd");
  EXPECT_EQ(3, run.exitCode);
  EXPECT_TRUE(Says(run, "qzschemas setup")) << run.output;
}

class RegisteredService : public testing::Test {
 protected:
  void SetUp() override {
    const qztest::CommandRun setup = Cli("setup");
    ASSERT_EQ(0, setup.exitCode) << setup.output;
  }

  // An XSD for the URN of its own file name, so the collection takes it.
  static std::string SchemaFile(const char* name) {
    const std::filesystem::path path = qztest::FreshDirectory("schemas") / name;
    std::ofstream(path) << "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' targetNamespace='x-schema:" << name
                        << "'><xs:element name='Probe'/></xs:schema>";
    return path.string();
  }

  // The line of list's table that names urn.
  static std::string ListedLine(const std::string& urn) {
    const qztest::CommandRun list = Cli("list");
    EXPECT_EQ(0, list.exitCode) << list.output;
    const size_t at = list.output.find(urn + " ");
    return at == std::string::npos ? "" : list.output.substr(at, list.output.find('\n', at) - at);
  }
};

TEST_F(RegisteredService, RegisterListUnregister) {
  const std::string file = SchemaFile("Probe.xsd");
  const qztest::CommandRun first = Cli("register '" + file + "'");
  EXPECT_EQ(0, first.exitCode) << first.output;
  EXPECT_TRUE(Says(first, "Schema cache succesfully updated with [Z:\\")) << first.output;

  const qztest::CommandRun again = Cli("register '" + file + "' /tmp/absent-schema.xsd");
  EXPECT_EQ(1, again.exitCode);
  EXPECT_TRUE(Says(again, "is already regsitered")) << again.output;
  EXPECT_TRUE(Says(again, "absent-schema.xsd] Does not exist")) << again.output;

  // Each run is a new process, whose service builds its collection anew.
  EXPECT_NE(std::string::npos, ListedLine("x-schema:Probe.xsd").find(" yes    yes        Z:\\"));

  std::filesystem::remove(file);
  EXPECT_NE(std::string::npos, ListedLine("x-schema:Probe.xsd").find(" no     no "));
  const qztest::CommandRun removed = Cli("unregister '" + file + "'");
  EXPECT_EQ(0, removed.exitCode) << removed.output;
  EXPECT_EQ("", ListedLine("x-schema:Probe.xsd"));
  EXPECT_EQ(1, Cli("unregister '" + file + "'").exitCode);
}

}  // namespace
