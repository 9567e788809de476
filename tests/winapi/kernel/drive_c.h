// A fresh folder on drive C: of the test's platform root, known by both its
// Windows and its POSIX path.
#pragma once

#include <filesystem>
#include <string>

namespace kerneltest {

struct DriveCFolder {
  std::string windows;             // "C:\\name-N"
  std::filesystem::path posix;     // <root>/drive_c/name-N

  explicit DriveCFolder(const char* name);
  std::string Win(const std::string& relative) const { return windows + "\\" + relative; }
  // Writes a file below the folder (relative path with '/').
  void Write(const std::string& relative, const std::string& contents) const;
};

}  // namespace kerneltest
