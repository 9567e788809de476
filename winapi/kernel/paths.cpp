// The drive model: C: is <root>/drive_c, Z: is the POSIX root, a path that
// starts with '/' is already a POSIX path. Windows paths are normalised the
// way Windows does it before they touch the file system ("C:\a\..\b" is
// "C:\b", and ".." never climbs above a drive's root), and name lookups
// ignore case where the exact spelling does not exist.
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <qzwin/platform.h>

#include "file_system.h"
#include "path_text.h"

namespace qzwin {
namespace {

// A Windows path taken apart: the POSIX directory it is anchored at and the
// components below it.
struct MappedPath {
  std::string base;                // "" for a relative path
  std::vector<std::string> parts;  // never "" ; "." and ".." only in relative paths
  bool ignoresCase = true;         // false for POSIX paths
};

std::string TrimTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) return entry->pw_dir;
  return "/tmp";
}

std::vector<std::string> SplitComponents(std::string_view text, bool normalize) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = start;
    while (end < text.size() && !kernel::IsPathSeparator(text[end])) ++end;
    std::string_view part = text.substr(start, end - start);
    if (!part.empty()) {
      if (normalize && part == ".") {
      } else if (normalize && part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else {
        parts.emplace_back(part);
      }
    }
    start = end + 1;
  }
  return parts;
}

bool Map(std::string_view path, MappedPath* mapped) {
  if (path.empty()) return false;
  if (path[0] == '/') {
    mapped->base = "/";
    mapped->parts = SplitComponents(path, false);
    mapped->ignoresCase = false;
    return true;
  }
  if (kernel::HasDriveLetter(path)) {
    char drive = static_cast<char>(path[0] | 0x20);
    if (drive == 'c') {
      mapped->base = PlatformRoot() + "/drive_c";
    } else if (drive == 'z') {
      mapped->base = "/";
    } else {
      return false;
    }
    // "C:x" is relative to the drive's current directory, which is its root.
    mapped->parts = SplitComponents(path.substr(2), true);
    return true;
  }
  if (path[0] == '\\') {
    if (path.size() > 1 && kernel::IsPathSeparator(path[1])) return false;  // UNC: no network here
    mapped->base = PlatformRoot() + "/drive_c";  // rooted on the current drive, C:
    mapped->parts = SplitComponents(path, true);
    return true;
  }
  mapped->base.clear();
  mapped->parts = SplitComponents(path, false);
  return true;
}

std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

std::string Joined(const MappedPath& mapped) {
  std::string result = mapped.base;
  for (const std::string& part : mapped.parts) result = Join(result, part);
  return result.empty() ? "." : result;
}

bool Exists(const std::string& path, struct stat* info) { return lstat(path.c_str(), info) == 0; }

bool Exists(const std::string& path) {
  struct stat info;
  return Exists(path, &info);
}

// The name in `directory` that equals `name` ignoring case, if any; the
// smallest such name when several differ only in case.
bool FindIgnoringCase(const std::string& directory, const std::string& name, std::string* found) {
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return false;
  bool any = false;
  while (const dirent* entry = readdir(dir)) {
    if (kernel::EqualsIgnoringCase(entry->d_name, name) && (!any || *found > entry->d_name)) {
      *found = entry->d_name;
      any = true;
    }
  }
  closedir(dir);
  return any;
}

}  // namespace

std::string PlatformRoot() {
  const char* root = std::getenv("QZ_ROOT");
  if (root != nullptr && *root != '\0') return TrimTrailingSlashes(root);
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && *data != '\0') return TrimTrailingSlashes(data) + "/qzschemas";
  return TrimTrailingSlashes(HomeDirectory()) + "/.local/share/qzschemas";
}

bool ToPosixPath(std::string_view windowsPath, std::string* posixPath) {
  MappedPath mapped;
  if (posixPath == nullptr || !Map(windowsPath, &mapped)) return false;
  *posixPath = Joined(mapped);
  return true;
}

bool ResolvePosixPath(std::string_view windowsPath, std::string* posixPath) {
  return kernel::ResolvePosixPath(windowsPath, posixPath, nullptr);
}

namespace kernel {

bool ResolvePosixPath(std::string_view windowsPath, std::string* posixPath, PathEntry* entry) {
  MappedPath mapped;
  if (posixPath == nullptr || !Map(windowsPath, &mapped)) return false;
  std::string exact = Joined(mapped);
  PathEntry found;
  if (mapped.ignoresCase && Exists(exact, &found.info)) found.known = true;
  if (!mapped.ignoresCase || found.known) {
    *posixPath = exact;
    if (entry != nullptr) *entry = found;
    return true;
  }
  std::string current = mapped.base;
  size_t i = 0;
  for (; i < mapped.parts.size(); ++i) {
    std::string candidate = Join(current, mapped.parts[i]);
    if (Exists(candidate)) {
      current = candidate;
      continue;
    }
    std::string actual;
    if (!FindIgnoringCase(current, mapped.parts[i], &actual)) break;
    current = Join(current, actual);
  }
  for (; i < mapped.parts.size(); ++i) current = Join(current, mapped.parts[i]);  // not there yet
  *posixPath = current.empty() ? "." : current;
  return true;
}

}  // namespace kernel

std::string ToWindowsPath(std::string_view posixPath) {
  std::string path(posixPath);
  std::string drive = PlatformRoot() + "/drive_c";
  std::string result;
  if (path.compare(0, drive.size(), drive) == 0 && (path.size() == drive.size() || path[drive.size()] == '/')) {
    result = "C:\\" + path.substr(std::min(path.size(), drive.size() + 1));
  } else if (!path.empty() && path[0] == '/') {
    result = "Z:\\" + path.substr(1);
  } else {
    result = path;
  }
  for (char& c : result)
    if (c == '/') c = '\\';
  return result;
}

}  // namespace qzwin
