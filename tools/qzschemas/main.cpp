// qzschemas: the command-line client of the schema service.
#include <cstdio>
#include <cstring>

#include "commands.h"

namespace {

struct Command {
  const char* name;
  const char* help;
  int (*run)(int argc, char** argv);
};

const Command kCommands[] = {
    {"doctor", "show the platform root, drives, system directory, registry and COM classes", qzcli::Doctor},
    {"encoding", "print the active encoding's declaration [--apply IN OUT: write IN to OUT with it]", qzcli::Encoding},
    {"paths", "show the schema cache and encodings paths and whether they exist [--setup]", qzcli::Paths},
    {"resolver", "register | unregister the platform path resolver", qzcli::Resolver},
    {"regsvr", "register the qzschemas library, or another in-process server [/u] [/s] [LIBRARY]", qzcli::Regsvr},
};

int Usage(FILE* out) {
  std::fprintf(out, "usage: qzschemas <command>\n\ncommands:\n");
  for (const Command& command : kCommands) std::fprintf(out, "  %-10s %s\n", command.name, command.help);
  return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr);
  if (std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) return Usage(stdout);
  for (const Command& command : kCommands) {
    if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
  }
  std::fprintf(stderr, "qzschemas: unknown command '%s'\n\n", argv[1]);
  return Usage(stderr);
}
