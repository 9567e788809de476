// What the loader tests share: where the test module and the data files are,
// and reading a file whole.
#pragma once

#include "support/files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace loadertest {

inline const std::filesystem::path kModulePath = QZ_TEST_MODULE;
inline const std::filesystem::path kDataDir = QZ_TEST_DATA_DIR;
inline const std::filesystem::path kQzrcPath = QZ_QZRC;

using qztest::ReadFile;

}  // namespace loadertest
