// Files: CreateFileA and the operations on its handles, and the path-based
// DeleteFileA, CreateDirectoryA, RemoveDirectoryA and GetFileAttributesA.
// Share modes are enforced between the handles of this process: a file is
// identified by device and inode, so two spellings of one file conflict too.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <winbase.h>

#include "file_system.h"
#include "kernel_objects.h"

namespace qzwin::kernel {
namespace {

struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileId&) const = default;
};

FileId IdOf(const struct stat& info) { return FileId{info.st_dev, info.st_ino}; }

// What one handle does with its file and lets others do.
struct Sharing {
  bool read = false;
  bool write = false;
  bool remove = false;
  DWORD shareMode = 0;

  static Sharing For(DWORD access, DWORD shareMode, DWORD flags) {
    Sharing sharing;
    sharing.read = (access & (GENERIC_READ | GENERIC_ALL)) != 0;
    sharing.write = (access & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    sharing.remove = (access & DELETE) != 0 || (flags & FILE_FLAG_DELETE_ON_CLOSE) != 0;
    sharing.shareMode = shareMode;
    return sharing;
  }

  bool ConflictsWith(const Sharing& other) const {
    return Refuses(other) || other.Refuses(*this);
  }

 private:
  // True when `other` wants an access that this handle does not share.
  bool Refuses(const Sharing& other) const {
    return (other.read && !(shareMode & FILE_SHARE_READ)) || (other.write && !(shareMode & FILE_SHARE_WRITE)) ||
           (other.remove && !(shareMode & FILE_SHARE_DELETE));
  }
};

class OpenFile;

// Every open file of the process, for the share checks. Opening, closing and
// deleting hold its lock, so a check and the open it allows are one step.
struct OpenFiles {
  std::mutex mutex;
  std::vector<const OpenFile*> files;
};

OpenFiles& Registry() {
  static OpenFiles* registry = new OpenFiles();  // outlives every static destructor
  return *registry;
}

class OpenFile : public KernelObject {
 public:
  OpenFile(int fd, FileId id, Sharing sharing, std::string path, bool deleteOnClose)
      : fd_(fd), id_(id), sharing_(sharing), path_(std::move(path)), deleteOnClose_(deleteOnClose) {}

  ~OpenFile() override {
    std::lock_guard guard(Registry().mutex);
    auto& files = Registry().files;
    files.erase(std::remove(files.begin(), files.end(), this), files.end());
    if (deleteOnClose_) unlink(path_.c_str());
    close(fd_);
  }

  int fd() const { return fd_; }
  const FileId& id() const { return id_; }
  const Sharing& sharing() const { return sharing_; }

 private:
  int fd_;
  FileId id_;
  Sharing sharing_;
  std::string path_;
  bool deleteOnClose_;
};

// Called with the registry's lock held.
bool ConflictsWithOpenFiles(const FileId& id, const Sharing& wanted) {
  for (const OpenFile* file : Registry().files)
    if (file->id() == id && file->sharing().ConflictsWith(wanted)) return true;
  return false;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

BOOL FailBool(DWORD error) {
  SetLastError(error);
  return FALSE;
}

int OpenFlags(const Sharing& sharing, bool truncate) {
  // Truncation needs a writable descriptor even for a handle that only reads.
  if (sharing.write || truncate) return sharing.read || truncate ? O_RDWR : O_WRONLY;
  return O_RDONLY;
}

}  // namespace
}  // namespace qzwin::kernel

using namespace qzwin::kernel;

EXTERN_C HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  std::string path;
  PathEntry entry;
  if (DWORD error = MapApiPath(lpFileName, &path, &entry); error != ERROR_SUCCESS) return Fail(error);
  if (DWORD error = CheckNameCharacters(lpFileName); error != ERROR_SUCCESS) return Fail(error);
  Sharing sharing = Sharing::For(dwDesiredAccess, dwShareMode, dwFlagsAndAttributes);
  if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING ||
      (dwShareMode & ~DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}) != 0 ||
      (dwCreationDisposition == TRUNCATE_EXISTING && !sharing.write))
    return Fail(ERROR_INVALID_PARAMETER);

  std::lock_guard guard(Registry().mutex);
  struct stat info;
  const struct stat* known = entry.StatData();
  if (known != nullptr) info = *known;
  bool existed = known != nullptr || stat(path.c_str(), &info) == 0;
  bool truncate = false;
  int flags = O_CLOEXEC;
  if (existed) {
    if (dwCreationDisposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS);
    if (S_ISDIR(info.st_mode)) {
      if (!(dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) || sharing.write) return Fail(ERROR_ACCESS_DENIED);
      flags |= O_DIRECTORY;
    }
    truncate = dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING;
    if ((sharing.write || truncate || sharing.remove) && IsReadOnly(info)) return Fail(ERROR_ACCESS_DENIED);
    if (ConflictsWithOpenFiles(IdOf(info), sharing)) return Fail(ERROR_SHARING_VIOLATION);
    if (truncate) flags |= O_TRUNC;
  } else {
    if (dwCreationDisposition == OPEN_EXISTING || dwCreationDisposition == TRUNCATE_EXISTING)
      return Fail(ErrorFromErrno(ENOENT, path));
    flags |= O_CREAT | O_EXCL;
  }
  flags |= OpenFlags(sharing, truncate);

  mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  int fd = open(path.c_str(), flags, mode);
  if (fd < 0) return Fail(errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(errno, path));
  if (fstat(fd, &info) != 0) {
    DWORD error = ErrorFromErrno(errno, path);
    close(fd);
    return Fail(error);
  }
  auto file = std::make_shared<OpenFile>(fd, IdOf(info), sharing, path,
                                         (dwFlagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0);
  Registry().files.push_back(file.get());
  HANDLE handle = InsertObject(std::move(file));
  if (dwCreationDisposition == OPEN_ALWAYS || dwCreationDisposition == CREATE_ALWAYS)
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

EXTERN_C BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                              LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
  auto file = FindObjectOf<OpenFile>(hFile);
  if (file == nullptr) return FALSE;
  if (lpOverlapped != nullptr || lpNumberOfBytesRead == nullptr) return FailBool(ERROR_INVALID_PARAMETER);
  if (!file->sharing().read) return FailBool(ERROR_ACCESS_DENIED);
  if (lpBuffer == nullptr && nNumberOfBytesToRead > 0) return FailBool(ERROR_NOACCESS);

  // One call reads all it is asked for, or up to the end of the file.
  auto* buffer = static_cast<char*>(lpBuffer);
  DWORD done = 0;
  while (done < nNumberOfBytesToRead) {
    ssize_t got = read(file->fd(), buffer + done, nNumberOfBytesToRead - done);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      *lpNumberOfBytesRead = done;
      return FailBool(errno == EISDIR ? ERROR_INVALID_FUNCTION : ERROR_READ_FAULT);
    }
    done += static_cast<DWORD>(got);
  }
  *lpNumberOfBytesRead = done;
  return TRUE;
}

EXTERN_C BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = 0;
  auto file = FindObjectOf<OpenFile>(hFile);
  if (file == nullptr) return FALSE;
  if (lpOverlapped != nullptr || lpNumberOfBytesWritten == nullptr) return FailBool(ERROR_INVALID_PARAMETER);
  if (!file->sharing().write) return FailBool(ERROR_ACCESS_DENIED);
  if (lpBuffer == nullptr && nNumberOfBytesToWrite > 0) return FailBool(ERROR_NOACCESS);

  const auto* buffer = static_cast<const char*>(lpBuffer);
  DWORD done = 0;
  while (done < nNumberOfBytesToWrite) {
    ssize_t put = write(file->fd(), buffer + done, nNumberOfBytesToWrite - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      *lpNumberOfBytesWritten = done;
      return FailBool(errno == ENOSPC || errno == EDQUOT ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
    }
    done += static_cast<DWORD>(put);
  }
  *lpNumberOfBytesWritten = done;
  return TRUE;
}

EXTERN_C BOOL WINAPI CloseHandle(HANDLE hObject) { return RemoveObjectOf<OpenFile>(hObject) ? TRUE : FALSE; }

EXTERN_C DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  auto file = FindObjectOf<OpenFile>(hFile);
  if (file == nullptr) return INVALID_FILE_SIZE;
  struct stat info;
  if (fstat(file->fd(), &info) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  auto size = static_cast<ULONGLONG>(info.st_size);
  if (lpFileSizeHigh != nullptr) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  if (static_cast<DWORD>(size) == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return static_cast<DWORD>(size);
}

EXTERN_C DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                                     DWORD dwMoveMethod) {
  auto file = FindObjectOf<OpenFile>(hFile);
  if (file == nullptr) return INVALID_SET_FILE_POINTER;
  // Without a high part the distance is a signed 32-bit value.
  LONGLONG distance = lpDistanceToMoveHigh == nullptr
                          ? LONGLONG{lDistanceToMove}
                          : static_cast<LONGLONG>((static_cast<ULONGLONG>(static_cast<DWORD>(*lpDistanceToMoveHigh))
                                                   << 32) |
                                                  static_cast<DWORD>(lDistanceToMove));
  int whence = dwMoveMethod == FILE_BEGIN ? SEEK_SET : dwMoveMethod == FILE_CURRENT ? SEEK_CUR
             : dwMoveMethod == FILE_END   ? SEEK_END : -1;
  if (whence < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  off_t base = whence == SEEK_SET ? 0 : lseek(file->fd(), 0, whence);
  if (base < 0 || static_cast<LONGLONG>(base) + distance < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  off_t position = lseek(file->fd(), static_cast<off_t>(base + distance), SEEK_SET);
  if (position < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (lpDistanceToMoveHigh != nullptr) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<ULONGLONG>(position) >> 32);
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(position);
}

EXTERN_C BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  std::string path;
  if (DWORD error = MapApiPath(lpFileName, &path); error != ERROR_SUCCESS) return FailBool(error);
  std::lock_guard guard(Registry().mutex);
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return FailBool(ErrorFromErrno(errno, path));
  if (S_ISDIR(info.st_mode) || IsReadOnly(info)) return FailBool(ERROR_ACCESS_DENIED);
  if (ConflictsWithOpenFiles(IdOf(info), Sharing::For(DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0)))
    return FailBool(ERROR_SHARING_VIOLATION);
  if (unlink(path.c_str()) != 0) return FailBool(ErrorFromErrno(errno, path));
  return TRUE;
}

EXTERN_C BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes) {
  std::string path;
  if (DWORD error = MapApiPath(lpPathName, &path); error != ERROR_SUCCESS) return FailBool(error);
  if (DWORD error = CheckNameCharacters(lpPathName); error != ERROR_SUCCESS) return FailBool(error);
  if (mkdir(path.c_str(), 0777) != 0) return FailBool(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno, path));
  return TRUE;
}

EXTERN_C BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
  std::string path;
  if (DWORD error = MapApiPath(lpPathName, &path); error != ERROR_SUCCESS) return FailBool(error);
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return FailBool(ErrorFromErrno(errno, path));
  if (!S_ISDIR(info.st_mode)) return FailBool(ERROR_DIRECTORY);
  if (rmdir(path.c_str()) != 0) return FailBool(errno == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrorFromErrno(errno, path));
  return TRUE;
}

EXTERN_C DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  std::string path;
  if (DWORD error = MapApiPath(lpFileName, &path); error != ERROR_SUCCESS) {
    SetLastError(error);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    SetLastError(ErrorFromErrno(errno, path));
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesOf(info);
}
