// What the file functions share: turning an API path into a POSIX path with
// Windows' checks, errno into Win32 errors, and stat data into attributes.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include <winbase.h>

namespace qzwin::kernel {

// What resolving a path learnt of the entry it names: when `known`, its
// lstat data, which is also its stat data unless it is a symbolic link.
struct PathEntry {
  bool known = false;
  struct stat info {};

  // The entry's stat data, if the resolution has it.
  const struct stat* StatData() const { return known && !S_ISLNK(info.st_mode) ? &info : nullptr; }
};

// qzwin::ResolvePosixPath that also tells what it learnt of the entry.
bool ResolvePosixPath(std::string_view windowsPath, std::string* posixPath, PathEntry* entry);

// Checks and maps the path an API was given. ERROR_SUCCESS with *posixPath
// set (and, when given, *entry), or the error Windows reports:
// ERROR_PATH_NOT_FOUND for a null, empty or unmappable path,
// ERROR_FILENAME_EXCED_RANGE for MAX_PATH characters or more.
DWORD MapApiPath(LPCSTR path, std::string* posixPath, PathEntry* entry = nullptr);

// ERROR_INVALID_NAME when the part after the drive holds a character that
// Windows does not allow in names (wildcards among them); else ERROR_SUCCESS.
DWORD CheckNameCharacters(LPCSTR path);

// The Win32 error for a failed POSIX call on `posixPath`; ENOENT becomes
// ERROR_FILE_NOT_FOUND when the directory exists, else ERROR_PATH_NOT_FOUND.
DWORD ErrorFromErrno(int error, const std::string& posixPath);

bool IsDirectory(const std::string& posixPath);

// A file whose write bits are all clear counts as FILE_ATTRIBUTE_READONLY.
bool IsReadOnly(const struct stat& info);
DWORD AttributesOf(const struct stat& info);
FILETIME FileTimeOf(const struct timespec& time);

}  // namespace qzwin::kernel
