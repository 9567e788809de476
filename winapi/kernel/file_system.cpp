#include "file_system.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>

#include <qzwin/platform.h>

#include "path_text.h"

namespace qzwin::kernel {
namespace {

// Drive C: exists on every Windows machine; a fresh platform root gets its
// folder the first time a C: path is used.
void EnsureDriveC() {
  static std::mutex mutex;
  static std::string made;  // the root whose drive folder was last checked
  std::string root = PlatformRoot();
  std::lock_guard guard(mutex);
  if (root == made) return;
  std::error_code ignored;
  std::filesystem::create_directories(root + "/drive_c", ignored);
  made = root;
}

bool IsOnDriveC(std::string_view path) {
  return (HasDriveLetter(path) && (path[0] | 0x20) == 'c') || (!path.empty() && path[0] == '\\');
}

}  // namespace

DWORD MapApiPath(LPCSTR path, std::string* posixPath, PathEntry* entry) {
  if (path == nullptr || *path == '\0') return ERROR_PATH_NOT_FOUND;
  if (std::strlen(path) >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  if (IsOnDriveC(path)) EnsureDriveC();
  if (!ResolvePosixPath(path, posixPath, entry)) return ERROR_PATH_NOT_FOUND;
  return ERROR_SUCCESS;
}

DWORD CheckNameCharacters(LPCSTR path) {
  std::string_view text(path == nullptr ? "" : path);
  if (HasDriveLetter(text)) text.remove_prefix(2);
  for (char c : text)
    if (std::strchr("<>\"|?*:", c) != nullptr || (c > 0 && c < 32)) return ERROR_INVALID_NAME;
  return ERROR_SUCCESS;
}

bool IsDirectory(const std::string& posixPath) {
  struct stat info;
  return stat(posixPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

DWORD ErrorFromErrno(int error, const std::string& posixPath) {
  switch (error) {
    case ENOENT: {
      size_t slash = posixPath.find_last_of('/');
      std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : posixPath.substr(0, slash);
      return IsDirectory(parent) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    default:
      return ERROR_GEN_FAILURE;
  }
}

bool IsReadOnly(const struct stat& info) { return IsReadOnlyMode(info.st_mode); }

DWORD AttributesOf(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
  if (IsReadOnly(info)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

FILETIME FileTimeOf(const struct timespec& time) {
  // 100-nanosecond intervals since 1601-01-01.
  constexpr ULONGLONG kSecondsFrom1601To1970 = 11644473600ULL;
  ULONGLONG ticks = (static_cast<ULONGLONG>(time.tv_sec) + kSecondsFrom1601To1970) * 10000000ULL +
                    static_cast<ULONGLONG>(time.tv_nsec) / 100;
  FILETIME result;
  result.dwLowDateTime = static_cast<DWORD>(ticks);
  result.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return result;
}

}  // namespace qzwin::kernel
