// Whole files as bytes, for tests that write their input and read what the
// code under test left.
#pragma once

#include <filesystem>
#include <string>

namespace qztest {

// Writes bytes over the file at path and gives path back.
std::filesystem::path WriteFile(const std::filesystem::path& path, const std::string& bytes);

// The bytes of the file at path; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace qztest
