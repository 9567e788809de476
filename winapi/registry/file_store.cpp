#include "file_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <winerror.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>

#include "hive_format.h"
#include "read_group.h"

namespace qzwin::registry {
namespace {

constexpr const char* kLockFileName = "registry.lock";
// The new file is written under this suffix and renamed over the old one.
// One name suffices: writers take turns under the lock.
constexpr const char* kNewFileSuffix = ".new";
constexpr const char* kCorruptSuffix = ".corrupt-";
// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr uint64_t kFileTimeUnixEpoch = 116444736000000000ull;

// An exclusive flock on the lock file beside the registry file. The lock
// file is opened anew for every lock, so a forked child never shares the
// parent's open file description (and with it the lock).
class FileLock {
 public:
  explicit FileLock(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    fd_ = open((folder + "/" + kLockFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        close(fd_);
        fd_ = -1;
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

bool ReadWhole(int fd, std::string* text) {
  char buffer[65536];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    text->append(buffer, static_cast<size_t>(got));
  }
}

bool WriteWhole(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

std::string UtcStamp() {
  char stamp[32];
  time_t now = time(nullptr);
  struct tm utc;
  gmtime_r(&now, &utc);
  strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
  return stamp;
}

}  // namespace

KeyStore::KeyStore(std::string filePath)
    : filePath_(std::move(filePath)), folder_(std::filesystem::path(filePath_).parent_path().string()) {}

KeyStore::Fingerprint KeyStore::FingerprintOf(const struct stat& info) {
  Fingerprint fingerprint;
  fingerprint.exists = true;
  fingerprint.device = info.st_dev;
  fingerprint.inode = info.st_ino;
  fingerprint.size = info.st_size;
  fingerprint.mtimeNanoseconds = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return fingerprint;
}

LONG KeyStore::Refresh() {
  // In a group of reads, the group's first read has looked at the file.
  const uint64_t group = CurrentReadGroup();
  if (group != 0 && loaded_ && checkedInGroup_ == group) return ERROR_SUCCESS;
  const LONG status = RefreshWithLock(false);
  if (status == ERROR_SUCCESS) checkedInGroup_ = group;
  return status;
}

LONG KeyStore::RefreshWithLock(bool haveLock) {
  struct stat info;
  if (stat(filePath_.c_str(), &info) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return ERROR_CANTREAD;
    if (!loaded_ || fingerprint_.exists) Adopt(Hive(), Fingerprint{});  // a missing file is an empty registry
    return ERROR_SUCCESS;
  }
  if (loaded_ && FingerprintOf(info) == fingerprint_) return ERROR_SUCCESS;
  return Load(haveLock, 2);
}

LONG KeyStore::Load(bool haveLock, int attemptsLeft) {
  int fd = open(filePath_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) return ERROR_CANTREAD;
    Adopt(Hive(), Fingerprint{});
    return ERROR_SUCCESS;
  }
  struct stat info;
  std::string text;
  bool read = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ReadWhole(fd, &text);
  close(fd);
  if (!read) return ERROR_CANTREAD;
  Fingerprint fingerprint = FingerprintOf(info);
  Hive parsed;
  std::string error;
  if (!ParseHive(text, &parsed, &error)) return PutCorruptFileAside(fingerprint, error, haveLock, attemptsLeft);
  Adopt(std::move(parsed), fingerprint);
  return ERROR_SUCCESS;
}

LONG KeyStore::PutCorruptFileAside(const Fingerprint& corrupt, const std::string& reason, bool haveLock,
                                   int attemptsLeft) {
  std::optional<FileLock> lock;
  if (!haveLock) {
    lock.emplace(folder_);
    if (!lock->Held()) return ERROR_REGISTRY_CORRUPT;
  }
  // Under the lock, look again: another process may have dealt with it already.
  struct stat info;
  bool same = stat(filePath_.c_str(), &info) == 0 && FingerprintOf(info) == corrupt;
  if (!same) return attemptsLeft > 0 ? Load(true, attemptsLeft - 1) : ERROR_REGISTRY_CORRUPT;

  std::string aside = filePath_ + kCorruptSuffix + UtcStamp();
  for (int n = 2; std::filesystem::exists(aside); ++n) {
    aside = filePath_ + kCorruptSuffix + UtcStamp() + "-" + std::to_string(n);
  }
  if (rename(filePath_.c_str(), aside.c_str()) != 0) {
    if (!(reportedCorrupt_ == corrupt)) {
      std::fprintf(stderr, "registry: %s is corrupt (%s) and could not be put aside; the registry is unusable\n",
                   filePath_.c_str(), reason.c_str());
      reportedCorrupt_ = corrupt;
    }
    return ERROR_REGISTRY_CORRUPT;
  }
  std::fprintf(stderr, "registry: %s was corrupt (%s); it is kept as %s and the registry starts empty\n",
               filePath_.c_str(), reason.c_str(), aside.c_str());
  Adopt(Hive(), Fingerprint{});
  return ERROR_SUCCESS;
}

void KeyStore::Adopt(Hive loaded, const Fingerprint& fingerprint) {
  for (int i = 0; i < kRootCount; ++i) GiveIds(loaded.roots[i], &hive_.roots[i]);
  hive_ = std::move(loaded);
  fingerprint_ = fingerprint;
  loaded_ = true;
}

// A key read anew keeps the identity it had in the old copy, so that open
// handles stay valid; a key that was not there before gets a new one.
void KeyStore::GiveIds(RegKey& key, const RegKey* previous) {
  for (RegKey& subkey : key.subkeys) {
    const RegKey* before = previous != nullptr ? previous->FindSubkey(subkey.folded) : nullptr;
    subkey.id = before != nullptr ? before->id : NewKeyId();
    GiveIds(subkey, before);
  }
}

LONG KeyStore::Change(const std::function<LONG(Hive& hive, bool* changed)>& change) {
  FileLock lock(folder_);
  if (!lock.Held()) return ERROR_CANTWRITE;
  LONG status = RefreshWithLock(true);
  if (status != ERROR_SUCCESS) return status;
  Hive copy = hive_;
  bool changed = false;
  status = change(copy, &changed);
  if (status != ERROR_SUCCESS || !changed) return status;
  Fingerprint written;
  if (!Write(copy, &written)) return ERROR_CANTWRITE;
  hive_ = std::move(copy);
  fingerprint_ = written;
  return ERROR_SUCCESS;
}

bool KeyStore::Write(const Hive& hive, Fingerprint* written) {
  std::string text = FormatHive(hive);
  std::string newFile = filePath_ + kNewFileSuffix;
  int fd = open(newFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat info;
  bool ok = WriteWhole(fd, text) && fdatasync(fd) == 0 && fstat(fd, &info) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(newFile.c_str(), filePath_.c_str()) == 0;
  if (!ok) {
    unlink(newFile.c_str());
    return false;
  }
  *written = FingerprintOf(info);
  return true;
}

FILETIME KeyStore::LastWriteTime() const {
  FILETIME time{0, 0};
  if (!fingerprint_.exists) return time;
  uint64_t ticks = static_cast<uint64_t>(fingerprint_.mtimeNanoseconds / 100) + kFileTimeUnixEpoch;
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return time;
}

}  // namespace qzwin::registry
