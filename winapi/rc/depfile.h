// A Make-style depfile, so that the build compiles the script again when the
// script, a header it includes or a data file changes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qzrc {

std::string DepfileText(const std::filesystem::path& target, const std::vector<std::filesystem::path>& dependencies);

}  // namespace qzrc
