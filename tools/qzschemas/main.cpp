// qzschemas: the command-line client of the schema service.
#include <cstdio>
#include <cstring>

#include "command_line.h"
#include "commands.h"

namespace {

struct Command {
  const char* name;
  const char* help;
  int (*run)(int argc, char** argv);
};

const Command kCommands[] = {
    {"setup", "set the platform up: path resolver, schema service, built-in files, schema cache [--remove]",
     qzcli::Setup},
    {"validate", "validate documents against the platform's schema collection: DOC...", qzcli::Validate},
    {"status", "show the set-up, the schema cache's entries, the collection, its failed entry, the encoding",
     qzcli::Status},
    {"doctor", "show the platform root, drives, system directory, registry and COM classes", qzcli::Doctor},
    {"encoding", "print the active encoding's declaration [--apply IN OUT: write IN to OUT with it]", qzcli::Encoding},
    {"paths", "show the schema cache and encodings paths and whether they exist [--setup]", qzcli::Paths},
    {"resolver", "register | unregister the platform path resolver", qzcli::Resolver},
    {"regsvr", "register the qzschemas library, or another in-process server [/u] [/s] [LIBRARY]", qzcli::Regsvr},
    {"register", "add schema files to the schema cache: FILE...", qzcli::Register},
    {"unregister", "take schema files out of the schema cache: FILE...", qzcli::Unregister},
    {"list", "show the schema cache's entries, their files and the collection", qzcli::List},
};

int Usage(FILE* out) {
  std::fprintf(out, "usage: qzschemas <command> [arguments]   (qzschemas <command> --help for more)\n"
                    "       qzschemas --version\n\ncommands:\n");
  for (const Command& command : kCommands) std::fprintf(out, "  %-10s %s\n", command.name, command.help);
  std::fprintf(out,
               "\nExit codes: 0 done, 1 something asked for failed, 2 usage error, 3 the platform is not set up\n"
               "or its schema collection cannot be had. Results go to stdout, messages to stderr.\n");
  return out == stdout ? qzcli::kCommandOk : qzcli::kCommandUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr);
  if (std::strcmp(argv[1], "help") == 0 || qzcli::IsHelp(argv[1])) return Usage(stdout);
  if (std::strcmp(argv[1], "--version") == 0) return argc == 2 ? qzcli::Version() : Usage(stderr);
  for (const Command& command : kCommands) {
    if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
  }
  std::fprintf(stderr, "qzschemas: unknown command '%s'\n\n", argv[1]);
  return Usage(stderr);
}
