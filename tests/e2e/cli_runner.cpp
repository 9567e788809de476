#include "cli_runner.h"

#include <fstream>
#include <sstream>

#include "support/run_command.h"
#include "support/temp_root.h"

namespace e2e {

CliRun RunCli(const std::filesystem::path& root, const std::string& arguments) {
  static int counter = 0;
  const std::filesystem::path errFile = qztest::TempRoot() / ("stderr-" + std::to_string(++counter) + ".txt");
  // The client's stderr goes to a file of its own; the runner merges only
  // what is left on stdout.
  const qztest::CommandRun run = qztest::RunCommand("(QZ_ROOT='" + root.string() + "' QZ_UI_HOST=stderr '" + QZ_CLI +
                                                    "' " + arguments + " 2>'" + errFile.string() + "')");
  std::ifstream in(errFile, std::ios::binary);
  std::ostringstream err;
  err << in.rdbuf();
  return {run.exitCode, run.output, err.str()};
}

std::string Example(const char* name) { return std::string("'") + QZ_EXAMPLES_DIR + "/" + name + "'"; }

std::filesystem::path OnDrive(const std::filesystem::path& root, const std::string& windowsPath) {
  std::string path = windowsPath.substr(3);  // past "C:\"
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return root / "drive_c" / path;
}

}  // namespace e2e
