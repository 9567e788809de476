// What every qzschemas command shares on its command line: the exit codes,
// --help and the usage text.
#pragma once

namespace qzcli {

constexpr int kCommandOk = 0;
// Something asked for did not succeed: a document does not validate, a file
// is not registered, a registration failed.
constexpr int kCommandFailed = 1;
// The command line is wrong; the command's usage is printed on stderr.
constexpr int kCommandUsage = 2;
// The platform is not set up, or the schema collection cannot be had; the
// command says why and how to fix it.
constexpr int kNoService = 3;

// Prints usage: on stdout with kCommandOk when asked for (--help), else on
// stderr with kCommandUsage.
int PrintUsage(const char* usage, bool asked);

// True for "--help" or "-h".
bool IsHelp(const char* argument);

}  // namespace qzcli
