// qzrc: the resource compiler of the POSIX build.
//
//   qzrc [-I <dir>]... <script.rc> <output.cpp> [<output.d>]
//
// Reads the script and the files it names and writes a C++ source that
// embeds them as the module's resources, and a depfile naming every input.
// Data files are looked for beside the script, then in each -I folder, as
// the Windows compiler looks on its include path.
// On an error it prints "file:line: error: ..." and writes nothing.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "depfile.h"
#include "resource_script.h"
#include "script_error.h"
#include "source_writer.h"

namespace {

namespace fs = std::filesystem;

// Writes through a temporary file and a rename, so that an interrupted run
// never leaves half an output for the build to pick up.
bool WriteFileAtomically(const fs::path& path, const std::string& content) {
  fs::path temporary = path;
  temporary += ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file.write(content.data(), static_cast<std::streamsize>(content.size())) || !file.flush()) return false;
  }
  std::error_code error;
  fs::rename(temporary, path, error);
  if (error) fs::remove(temporary, error);
  return !error;
}

int Compile(const fs::path& script, const fs::path& output, const fs::path& depfile,
            const std::vector<fs::path>& dataDirs) {
  qzrc::ResourceScript parsed = qzrc::ParseScript(script, dataDirs);
  for (const std::string& warning : parsed.warnings) std::fprintf(stderr, "%s\n", warning.c_str());
  std::ostringstream source;
  qzrc::WriteResourceSource(parsed, script, source);
  if (!WriteFileAtomically(output, source.str())) {
    std::fprintf(stderr, "qzrc: error: cannot write %s\n", output.c_str());
    return 1;
  }
  if (!depfile.empty() && !WriteFileAtomically(depfile, qzrc::DepfileText(output, parsed.dependencies))) {
    std::fprintf(stderr, "qzrc: error: cannot write %s\n", depfile.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> dataDirs;
  int first = 1;
  while (first + 1 < argc && std::string(argv[first]) == "-I") {
    dataDirs.emplace_back(argv[first + 1]);
    first += 2;
  }
  const int files = argc - first;
  if (files != 2 && files != 3) {
    std::fprintf(stderr, "usage: qzrc [-I <dir>]... <script.rc> <output.cpp> [<output.d>]\n");
    return 2;
  }
  char** file = argv + first;
  try {
    return Compile(file[0], file[1], files == 3 ? fs::path(file[2]) : fs::path(), dataDirs);
  } catch (const qzrc::ScriptError& error) {
    std::fprintf(stderr, "%s\n", error.what());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "qzrc: error: %s\n", error.what());
  }
  // Leave no output behind that could pass for this script's.
  std::error_code ignored;
  fs::remove(file[1], ignored);
  return 1;
}
