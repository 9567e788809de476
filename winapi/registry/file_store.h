// One registry file and the in-memory copy of it. Reads reuse the copy until
// the file changes on disk (another process wrote it); every change is made
// under a lock on the file, on the newest copy, and written whole to a
// temporary file that is then renamed over the registry file.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <windef.h>

#include <cstdint>
#include <functional>
#include <string>

#include "memory_tree.h"

namespace qzwin::registry {

class KeyStore {
 public:
  explicit KeyStore(std::string filePath);

  const std::string& FilePath() const { return filePath_; }

  // Brings the copy up to date with the file, once in a group of reads.
  // ERROR_CANTREAD when the file exists but cannot be read;
  // ERROR_REGISTRY_CORRUPT when it is corrupt and could not be put aside.
  LONG Refresh();

  // The up-to-date copy; valid after a successful Refresh.
  Hive& Current() { return hive_; }

  // Runs change() on a copy of the newest registry, under the file lock;
  // when it succeeds and reports a change, writes the copy and makes it
  // current. ERROR_CANTWRITE when the file cannot be written: then nothing
  // changes, on disk or in memory.
  LONG Change(const std::function<LONG(Hive& hive, bool* changed)>& change);

  // A fresh key identity, never given before in this process.
  uint64_t NewKeyId() { return nextKeyId_++; }

  // The registry file's modification time as a FILETIME (0 when there is no file).
  FILETIME LastWriteTime() const;

 private:
  struct Fingerprint {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t mtimeNanoseconds = 0;
    bool operator==(const Fingerprint&) const = default;
  };

  static Fingerprint FingerprintOf(const struct stat& info);
  LONG RefreshWithLock(bool haveLock);
  LONG Load(bool haveLock, int attemptsLeft);
  LONG PutCorruptFileAside(const Fingerprint& corrupt, const std::string& reason, bool haveLock, int attemptsLeft);
  void Adopt(Hive loaded, const Fingerprint& fingerprint);
  void GiveIds(RegKey& key, const RegKey* previous);
  bool Write(const Hive& hive, Fingerprint* written);

  std::string filePath_;
  std::string folder_;
  Hive hive_;
  Fingerprint fingerprint_;      // of the file the copy was read from or written to
  Fingerprint reportedCorrupt_;  // a corrupt file already reported that could not be put aside
  bool loaded_ = false;
  uint64_t checkedInGroup_ = 0;  // the group of reads that last brought the copy up to date
  uint64_t nextKeyId_ = 1000;  // ids below are the roots'
};

}  // namespace qzwin::registry
