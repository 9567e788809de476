// FindFirstFileA / FindNextFileA / FindClose. A search takes its snapshot of
// the matching entries when it starts; "." and ".." come first, as they do on
// Windows, except in the root of a drive.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <qzwin/platform.h>
#include <winbase.h>

#include "file_system.h"
#include "kernel_objects.h"
#include "path_text.h"
#include "wildcard.h"

namespace qzwin::kernel {
namespace {

class FileSearch : public KernelObject {
 public:
  explicit FileSearch(std::vector<WIN32_FIND_DATAA> entries) : entries_(std::move(entries)) {}

  bool Next(WIN32_FIND_DATAA* data) {
    std::lock_guard guard(mutex_);
    if (next_ >= entries_.size()) return false;
    *data = entries_[next_++];
    return true;
  }

 private:
  std::mutex mutex_;
  std::vector<WIN32_FIND_DATAA> entries_;
  size_t next_ = 0;
};

// The entry `name` in `directory`; `known`, when given, is its stat data.
bool Fill(const std::string& directory, const std::string& name, WIN32_FIND_DATAA* data,
          const struct stat* known = nullptr) {
  struct stat info;
  if (known != nullptr) {
    info = *known;
  } else {
    std::string path = directory;
    if (path != "/") path += '/';
    path += name;
    if (stat(path.c_str(), &info) != 0 && lstat(path.c_str(), &info) != 0) return false;  // dangling links too
  }
  std::memset(data, 0, sizeof(*data));
  data->dwFileAttributes = AttributesOf(info);
  data->ftCreationTime = FileTimeOf(info.st_mtim);
  data->ftLastAccessTime = FileTimeOf(info.st_atim);
  data->ftLastWriteTime = FileTimeOf(info.st_mtim);
  if (!S_ISDIR(info.st_mode)) {
    auto size = static_cast<ULONGLONG>(info.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
  }
  size_t length = std::min(name.size(), sizeof(data->cFileName) - 1);
  std::memcpy(data->cFileName, name.data(), length);
  return true;
}

bool IsDriveRoot(const std::string& posixDirectory) {
  return posixDirectory == "/" || posixDirectory == PlatformRoot() + "/drive_c";
}

bool IsDotName(std::string_view name) { return name == "." || name == ".."; }

// Names in Windows' listing order for our purposes: dots first, then without
// regard to case.
bool ListsBefore(const std::string& a, const std::string& b) {
  if (IsDotName(a) || IsDotName(b)) return IsDotName(a) && (!IsDotName(b) || a.size() < b.size());
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return FoldCase(a[i]) < FoldCase(b[i]);
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::vector<std::string> MatchingNames(const std::string& directory, std::string_view pattern) {
  std::vector<std::string> names;
  if (!IsDriveRoot(directory))
    for (const char* dot : {".", ".."})
      if (MatchesWildcard(pattern, dot)) names.emplace_back(dot);
  if (DIR* dir = opendir(directory.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (!IsDotName(entry->d_name) && MatchesWildcard(pattern, entry->d_name)) names.emplace_back(entry->d_name);
    closedir(dir);
  }
  std::sort(names.begin(), names.end(), ListsBefore);
  return names;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace
}  // namespace qzwin::kernel

using namespace qzwin::kernel;

EXTERN_C HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  if (lpFindFileData == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  std::string path;
  PathEntry entry;
  if (DWORD error = MapApiPath(lpFileName, &path, &entry); error != ERROR_SUCCESS) return Fail(error);

  // The directory part (through the last separator, or the drive) and the name.
  std::string_view text(lpFileName);
  size_t separator = text.find_last_of("\\/");
  size_t nameStart = separator != std::string_view::npos ? separator + 1 : HasDriveLetter(text) ? 2 : 0;
  std::string directoryText(nameStart == 0 ? std::string_view(".") : text.substr(0, nameStart));
  std::string_view name = text.substr(nameStart);
  if (HasWildcards(directoryText)) return Fail(ERROR_INVALID_NAME);

  // One name that is there: the entry itself, spelled as it is on disk. Its
  // directory needs no check of its own; the checks below only tell apart
  // why nothing was found.
  const bool oneName = !name.empty() && !HasWildcards(name) && !IsDotName(name);
  if (oneName) {
    size_t slash = path.find_last_of('/');
    std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    WIN32_FIND_DATAA data;
    if (Fill(parent, slash == std::string::npos ? path : path.substr(slash + 1), &data, entry.StatData())) {
      *lpFindFileData = data;
      return InsertObject(std::make_shared<FileSearch>(std::vector<WIN32_FIND_DATAA>{}));
    }
  }

  std::string directory;
  if (MapApiPath(directoryText.c_str(), &directory) != ERROR_SUCCESS || !IsDirectory(directory))
    return Fail(ERROR_PATH_NOT_FOUND);
  // A trailing separator names no entry; neither does a bare drive.
  if (name.empty() || oneName) return Fail(ERROR_FILE_NOT_FOUND);

  std::vector<std::string> names = MatchingNames(directory, name);

  std::vector<WIN32_FIND_DATAA> entries;
  for (const std::string& found : names) {
    WIN32_FIND_DATAA data;
    if (Fill(directory, found, &data)) entries.push_back(data);
  }
  if (entries.empty()) return Fail(ERROR_FILE_NOT_FOUND);
  *lpFindFileData = entries.front();
  auto search = std::make_shared<FileSearch>(std::move(entries));
  WIN32_FIND_DATAA first;
  search->Next(&first);
  return InsertObject(std::move(search));
}

EXTERN_C BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  auto search = FindObjectOf<FileSearch>(hFindFile);
  if (search == nullptr) return FALSE;
  if (lpFindFileData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!search->Next(lpFindFileData)) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  return TRUE;
}

EXTERN_C BOOL WINAPI FindClose(HANDLE hFindFile) { return RemoveObjectOf<FileSearch>(hFindFile) ? TRUE : FALSE; }
