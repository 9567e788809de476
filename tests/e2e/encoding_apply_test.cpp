// qzschemas encoding through the registered service: the declaration
// printed, and a document written with it in the selected encoding.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <qzwin/platform.h>

#include "cli_runner.h"
#include "support/run_command.h"
#include "support/temp_root.h"

namespace {

qztest::CommandRun Cli(const std::string& arguments) {
  return qztest::RunCommand(std::string("'") + QZ_CLI + "' " + arguments);
}

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class EncodingApply : public testing::Test {
 protected:
  void SetUp() override {
    const qztest::CommandRun setup = Cli("setup");
    ASSERT_EQ(0, setup.exitCode) << setup.output;
    std::string posix;
    ASSERT_TRUE(qzwin::ToPosixPath(e2e::kEncodings, &posix));
    encodings_ = posix;
    std::filesystem::copy_file(QZ_EXAMPLES_DIR "/qzencodings.xml", encodings_,
                               std::filesystem::copy_options::overwrite_existing);
    dir_ = qztest::FreshDirectory("apply");
  }
  std::string Apply(const char* in, const char* out) {
    return "encoding --apply '" + (dir_ / in).string() + "' '" + (dir_ / out).string() + "'";
  }

  std::filesystem::path encodings_;
  std::filesystem::path dir_;
};

TEST_F(EncodingApply, PrintsTheDeclarationOfTheActiveEntry) {
  const qztest::CommandRun run = Cli("encoding");
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("<?xml version='1.0' encoding ='ISO-8859-1'?>\n", run.output);

  std::filesystem::remove(encodings_);
  EXPECT_EQ(1, Cli("encoding").exitCode);
}

TEST_F(EncodingApply, WritesTheDocumentInTheSelectedEncoding) {
  std::ofstream(dir_ / "in.xml", std::ios::binary) << "<Messwert Einheit=\"\xC2\xB5m\">Gr\xC3\xB6\xC3\x9F" "e</Messwert>";
  const qztest::CommandRun run = Cli(Apply("in.xml", "out.xml"));
  ASSERT_EQ(0, run.exitCode) << run.output;
  EXPECT_EQ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<Messwert Einheit=\"\xB5m\">Gr\xF6\xDF" "e</Messwert>\r\n",
            Read(dir_ / "out.xml"));
}

TEST_F(EncodingApply, RefusesADocumentWithADeclarationOrThatDoesNotLoad) {
  std::ofstream(dir_ / "declared.xml") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r/>";
  qztest::CommandRun run = Cli(Apply("declared.xml", "out.xml"));
  EXPECT_EQ(1, run.exitCode);
  EXPECT_NE(std::string::npos, run.output.find("already has an XML declaration")) << run.output;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.xml"));

  std::ofstream(dir_ / "broken.xml") << "<r>";
  EXPECT_EQ(1, Cli(Apply("broken.xml", "out.xml")).exitCode);
  EXPECT_EQ(1, Cli(Apply("missing.xml", "out.xml")).exitCode);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.xml"));
}

}  // namespace
