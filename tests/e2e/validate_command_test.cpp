// qzschemas validate as a person uses it, each case on a platform root of
// its own: valid and invalid documents, a schema of one's own registered and
// taken out again, and a schema cache that is broken.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "support/temp_root.h"

namespace {

using e2e::CliRun;

class ValidateCommand : public testing::Test {
 protected:
  void SetUp() override {
    const CliRun setup = Cli("setup");
    ASSERT_EQ(0, setup.exitCode) << setup.out << setup.err;
  }
  CliRun Cli(const std::string& arguments) { return e2e::RunCli(root_, arguments); }
  CliRun Validate(const char* example) { return Cli("validate " + e2e::Example(example)); }

  std::filesystem::path root_ = qztest::FreshDirectory("root");
};

TEST_F(ValidateCommand, AValidAndAnInvalidDataSet) {
  const CliRun valid = Validate("measurement.xml");
  EXPECT_EQ(0, valid.exitCode) << valid.err;
  EXPECT_EQ(std::string(QZ_EXAMPLES_DIR) + "/measurement.xml validates\n", valid.out);
  EXPECT_EQ("", valid.err);

  const CliRun invalid = Validate("measurement-invalid.xml");
  EXPECT_EQ(1, invalid.exitCode);
  EXPECT_EQ(0u, invalid.out.find(std::string(QZ_EXAMPLES_DIR) + "/measurement-invalid.xml:5")) << invalid.out;
  EXPECT_TRUE(invalid.Says("Decimal")) << invalid.out;

  const CliRun both = Cli("validate " + e2e::Example("measurement.xml") + " " + e2e::Example("measurement-invalid.xml"));
  EXPECT_EQ(1, both.exitCode);
  EXPECT_TRUE(both.Says("measurement.xml validates\n")) << both.out;

  const CliRun broken = Cli("validate /nonexistent/data.xml");
  EXPECT_EQ(1, broken.exitCode);
  EXPECT_EQ(0u, broken.out.find("/nonexistent/data.xml: ")) << broken.out;
}

TEST_F(ValidateCommand, ASchemaRegisteredCountsOnceTheCollectionIsBuiltAnewAndIsGoneAfterUnregistering) {
  const CliRun unknown = Validate("sensor-calibration.xml");
  EXPECT_EQ(1, unknown.exitCode);
  EXPECT_TRUE(unknown.Says("holds no schema x-schema:sensor-calibration.xsd")) << unknown.out;

  const CliRun registered = Cli("register " + e2e::Example("sensor-calibration.xsd"));
  ASSERT_EQ(0, registered.exitCode) << registered.out << registered.err;
  EXPECT_TRUE(registered.Says("Schema cache succesfully updated with [Z:\\")) << registered.out;
  // Each run is a new process, whose service builds the collection anew.
  const CliRun valid = Validate("sensor-calibration.xml");
  EXPECT_EQ(0, valid.exitCode) << valid.out << valid.err;

  ASSERT_EQ(0, Cli("unregister " + e2e::Example("sensor-calibration.xsd")).exitCode);
  const CliRun gone = Validate("sensor-calibration.xml");
  EXPECT_EQ(1, gone.exitCode);
  EXPECT_TRUE(gone.Says("holds no schema x-schema:sensor-calibration.xsd")) << gone.out;
}

TEST_F(ValidateCommand, ACacheFileThatDoesNotLoadIsNamedWithTheLineAndHowToFixIt) {
  const std::filesystem::path cache = e2e::OnDrive(root_, e2e::kSchemaCache);
  std::filesystem::resize_file(cache, std::filesystem::file_size(cache) - 30);

  const CliRun run = Validate("measurement.xml");
  EXPECT_EQ(3, run.exitCode);
  EXPECT_EQ("", run.out);
  EXPECT_TRUE(run.Tells(std::string("the schema cache ") + e2e::kSchemaCache + " does not load: ")) << run.err;
  EXPECT_TRUE(run.Tells("(line ")) << run.err;
  EXPECT_TRUE(run.Tells("Fix: repair the file")) << run.err;

  const CliRun status = Cli("status");
  EXPECT_EQ(3, status.exitCode);
  EXPECT_TRUE(status.Says("does not load: ")) << status.out;

  // As the fix says: without the file, setup writes the default cache.
  std::filesystem::remove(cache);
  EXPECT_EQ(0, Cli("setup").exitCode);
  EXPECT_EQ(0, Validate("measurement.xml").exitCode);
}

TEST_F(ValidateCommand, AnEntryTheCollectionRefusesIsNamedByValidateAndStatus) {
  // The report project schema is XDR; a schema collection takes XSD only.
  const std::string xdr = std::string(e2e::kSystemDirectory) + "\\Standard-report.xml";
  ASSERT_EQ(0, Cli("register '" + xdr + "'").exitCode);

  const CliRun run = Validate("report-project.xml");
  EXPECT_EQ(1, run.exitCode);
  EXPECT_TRUE(run.Says("holds no schema x-schema:Standard-report.xml")) << run.out;
  EXPECT_TRUE(run.Tells("entry x-schema:Standard-report.xml (file " + xdr + ") is refused")) << run.err;
  EXPECT_EQ(0, Validate("measurement.xml").exitCode);

  const CliRun status = Cli("status");
  EXPECT_EQ(1, status.exitCode);
  EXPECT_TRUE(status.Says("failed entry       x-schema:Standard-report.xml (file " + xdr + ")")) << status.out;
}

}  // namespace
