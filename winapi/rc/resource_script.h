// What a resource script declares: resources with their type, integer name,
// language and bytes (a data file's, or compiled from statements), and every
// file the script depends on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qzrc {

// Resource types with predefined numbers.
constexpr std::uint16_t kTypeDialog = 5;
constexpr std::uint16_t kTypeString = 6;
constexpr std::uint16_t kTypeRcData = 10;
constexpr std::uint16_t kTypeVersion = 16;
constexpr std::uint16_t kTypeHtml = 23;
constexpr std::uint16_t kTypeManifest = 24;
constexpr std::uint16_t kTypeDialogInit = 240;

struct ScriptResource {
  std::uint16_t typeId = 0;  // 0 when typeName is set
  std::string typeName;      // upper case
  std::uint16_t nameId = 0;
  std::uint16_t language = 0;
  std::filesystem::path file;  // the data file, as found; empty when `data` holds the bytes
  std::string data;            // the bytes compiled from the script's statements
  int line = 0;                // where the script declares it
};

struct ResourceScript {
  std::vector<ScriptResource> resources;
  // The script, the headers it includes and the data files, for the depfile.
  std::vector<std::filesystem::path> dependencies;
  // "file:line: warning: ..." for what qzrc accepts but the Windows compiler would not.
  std::vector<std::string> warnings;
};

// Reads the script and the headers it includes. A data file is looked for
// beside the script, then in each of dataDirs in order (the build's own
// outputs, such as a type library, lie there). Throws ScriptError, naming
// file and line, for anything outside the subset qzrc understands.
ResourceScript ParseScript(const std::filesystem::path& script,
                           const std::vector<std::filesystem::path>& dataDirs = {});

}  // namespace qzrc
