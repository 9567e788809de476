// The only way libxml2 reaches outside a document: external DTDs, entities
// and schema includes come from local files, and only while a load allows it.
// Nothing ever reaches the network.
#pragma once

#include <string>

namespace qzwin::msxml {

// While one lives, loads on this thread may read local external files.
class ExternalFilesAllowed {
 public:
  explicit ExternalFilesAllowed(bool allowed);
  ~ExternalFilesAllowed();
  ExternalFilesAllowed(const ExternalFilesAllowed&) = delete;
  ExternalFilesAllowed& operator=(const ExternalFilesAllowed&) = delete;

 private:
  bool previous_;
};

// Installs the loader (once per process).
void InstallExternalLoader();

// Whether a location names a local file (a path, or a file: URL), and its
// POSIX path. Windows paths map through the stand-in's drives.
bool LocalPathOf(const std::string& location, std::string* posixPath);

}  // namespace qzwin::msxml
