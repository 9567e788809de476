// Saving: save to a path (through a temporary file put in the target's
// place in one step, so that a failed or interrupted save leaves the old file
// whole), to a stream, and IPersistStream::Save.
#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <qzwin/platform.h>

#include "document.h"
#include "external_loader.h"
#include "serialize.h"
#include "utf.h"

namespace qzwin::msxml {

namespace {

HRESULT FromErrno(int error) {
  switch (error) {
    case ENOENT: case ENOTDIR: return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case EACCES: case EPERM: case EROFS: case EISDIR: return E_ACCESSDENIED;
    case ENOSPC: return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    default: return E_FAIL;
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// Puts the file at `temp` in the place of `target` in one step. Exchanging
// the two names, where the file system can, and then unlinking the old file
// keeps ext4 from writing the new file back there and then, as it does for a
// rename over an existing file: the save is left to the system's write-back,
// like the platform's own save to a file, and is never seen half done.
int PutInPlace(const std::string& temp, const std::string& target) {
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
    ::unlink(temp.c_str());
    return 0;
  }
  // No target yet, or a file system that cannot exchange names.
  return ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
}

// Writes the bytes beside the target and puts them in its place.
HRESULT ReplaceFile(const std::string& target, const std::string& bytes) {
  // A directory is not replaced, nor a read-only file: Windows opens
  // neither for writing.
  struct stat old;
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing && (S_ISDIR(old.st_mode) || IsReadOnlyMode(old.st_mode))) return E_ACCESSDENIED;
  std::string temp = target + ".qzsave-XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return FromErrno(errno);
  // The new file gets the old one's permissions, or the usual ones.
  if (replacing) {
    ::fchmod(fd, old.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  bool written = WriteAll(fd, bytes);
  int writeError = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written) {
    ::unlink(temp.c_str());
    return FromErrno(writeError);
  }
  if (int error = PutInPlace(temp, target); error != 0) {
    ::unlink(temp.c_str());
    return FromErrno(error);
  }
  return S_OK;
}

HRESULT WriteStream(IStream* stream, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ULONG chunk = static_cast<ULONG>(std::min<size_t>(bytes.size() - done, 1u << 30));
    ULONG written = 0;
    HRESULT hr = stream->Write(bytes.data() + done, chunk, &written);
    if (FAILED(hr)) return hr;
    if (written == 0) return STG_E_WRITEFAULT;
    done += written;
  }
  return S_OK;
}

}  // namespace

HRESULT Document::WritePath(const std::string& location) {
  std::string path;
  if (!LocalPathOf(location, &path)) return E_ACCESSDENIED;
  std::string bytes;
  HRESULT hr = SerializeForSave(tree()->doc(), &bytes);
  if (FAILED(hr)) return hr;
  return ReplaceFile(path, bytes);
}

HRESULT Document::save(VARIANT destination) {
  if (destination.vt == VT_BSTR) {
    if (destination.bstrVal == nullptr || SysStringLen(destination.bstrVal) == 0) return E_INVALIDARG;
    return WritePath(BstrToUtf8(destination.bstrVal));
  }
  if ((destination.vt == VT_UNKNOWN || destination.vt == VT_DISPATCH) && destination.punkVal != nullptr) {
    IStream* stream = nullptr;
    if (FAILED(destination.punkVal->QueryInterface(IID_IStream, reinterpret_cast<void**>(&stream)))) {
      return E_INVALIDARG;
    }
    HRESULT hr = Save(stream, TRUE);
    stream->Release();
    return hr;
  }
  return E_INVALIDARG;
}

HRESULT Document::Save(IStream* pStm, BOOL fClearDirty) {
  if (pStm == nullptr) return E_INVALIDARG;
  std::string bytes;
  HRESULT hr = SerializeForSave(tree()->doc(), &bytes);
  if (FAILED(hr)) return hr;
  return WriteStream(pStm, bytes);
}

}  // namespace qzwin::msxml
