#include "drive_c.h"

#include <fstream>

#include "support/temp_root.h"

namespace kerneltest {

DriveCFolder::DriveCFolder(const char* name) {
  static int counter = 0;
  std::string leaf = std::string(name) + "-" + std::to_string(++counter);
  posix = qztest::TempRoot() / "drive_c" / leaf;
  std::filesystem::create_directories(posix);
  windows = "C:\\" + leaf;
}

void DriveCFolder::Write(const std::string& relative, const std::string& contents) const {
  std::filesystem::path file = posix / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << contents;
}

}  // namespace kerneltest
