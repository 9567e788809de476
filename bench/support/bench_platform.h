// A throw-away platform root for one benchmark process: the path resolver
// installed, the shared directory made, and the module's default schema
// cache at hand to build caches from. Removed when the process ends.
#pragma once

#include <filesystem>
#include <string>

namespace qzbench {

class BenchPlatform {
 public:
  // name tells the roots of different programs apart.
  explicit BenchPlatform(const char* name);
  ~BenchPlatform();
  BenchPlatform(const BenchPlatform&) = delete;
  BenchPlatform& operator=(const BenchPlatform&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  // The schema cache file's POSIX path.
  const std::string& CachePath() const { return cachePath_; }

  // A POSIX folder below drive C: with its Windows path; made if missing.
  std::filesystem::path DriveC(const char* folder) const;

 private:
  std::filesystem::path root_;
  std::string cachePath_;
};

// The bytes of the module's default cache, resource 208 of the program.
std::string DefaultCacheText();

// Runs the benchmarks the command line names; what a program's main returns.
// The program prepares its platform before, so every benchmark shares it.
int RunBenchmarks(int argc, char** argv);

}  // namespace qzbench
