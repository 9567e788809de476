// An error in a resource script, reported as "file:line: error: message" so
// that editors and build logs can point at it.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace qzrc {

class ScriptError : public std::runtime_error {
 public:
  ScriptError(const std::filesystem::path& file, int line, const std::string& message)
      : std::runtime_error(file.string() + ":" + std::to_string(line) + ": error: " + message) {}
};

}  // namespace qzrc
