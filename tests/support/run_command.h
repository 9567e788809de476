// Runs a shell command from a test and captures what it printed.
#pragma once

#include <string>

namespace qztest {

struct CommandRun {
  int exitCode = -1;   // -1 when the command could not be run or did not exit normally
  std::string output;  // standard output and standard error, interleaved
};

CommandRun RunCommand(const std::string& command);

}  // namespace qztest
