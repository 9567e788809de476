// A throw-away platform root for one test process: drives, registry and
// shared files all live below it, and it is removed when the process ends.
#pragma once

#include <filesystem>

namespace qztest {

// The root created for this process (also exported as QZ_ROOT).
const std::filesystem::path& TempRoot();

// A fresh empty folder below the root, for one test's own files.
std::filesystem::path FreshDirectory(const char* name);

}  // namespace qztest
