// Runs the command-line client as a person runs it, on a platform root of
// the caller's choosing, keeping what it printed on stdout and on stderr
// apart.
#pragma once

#include <filesystem>
#include <string>

namespace e2e {

struct CliRun {
  int exitCode = -1;
  std::string out;  // standard output: the results
  std::string err;  // standard error: the messages
  bool Says(const std::string& text) const { return out.find(text) != std::string::npos; }
  bool Tells(const std::string& text) const { return err.find(text) != std::string::npos; }
};

// `qzschemas <arguments>` with QZ_ROOT=root (and the UI host on stderr);
// arguments go through the shell as written.
CliRun RunCli(const std::filesystem::path& root, const std::string& arguments);

// A file of the examples folder, quoted for the shell.
std::string Example(const char* name);

// The POSIX path of a Windows path in root's drive model.
std::filesystem::path OnDrive(const std::filesystem::path& root, const std::string& windowsPath);

// Where the platform keeps its shared files and the system directory.
constexpr const char* kSchemaCache = "C:\\Program Files\\Common Files\\Quorvane\\Shared\\qzschemas.xml";
constexpr const char* kEncodings = "C:\\Program Files\\Common Files\\Quorvane\\Shared\\qzencodings.xml";
constexpr const char* kSystemDirectory = "C:\\WINDOWS\\system32";

}  // namespace e2e
