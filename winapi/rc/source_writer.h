// Writes the C++ source that carries a script's resources into its module:
// one string literal per data file, the resource table, and a static object
// that registers the table with the kernel while the module is loaded.
#pragma once

#include <filesystem>
#include <ostream>

#include "resource_script.h"

namespace qzrc {

// Throws ScriptError if a data file cannot be read or is too large for a resource.
void WriteResourceSource(const ResourceScript& script, const std::filesystem::path& scriptPath, std::ostream& out);

}  // namespace qzrc
