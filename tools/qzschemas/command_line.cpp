#include "command_line.h"

#include <cstdio>
#include <cstring>

namespace qzcli {

int PrintUsage(const char* usage, bool asked) {
  std::fputs(usage, asked ? stdout : stderr);
  return asked ? kCommandOk : kCommandUsage;
}

bool IsHelp(const char* argument) { return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0; }

}  // namespace qzcli
