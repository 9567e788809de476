// The Windows C runtime's path splitting and case-insensitive comparisons.
#include <strings.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include <qzwin/crt.h>

namespace {

// Copies text[0, length) into out, cut to fit `size` bytes with the terminator.
void CopyPart(char* out, size_t size, const char* text, size_t length) {
  if (out == nullptr) return;
  if (length > size - 1) length = size - 1;
  std::memcpy(out, text, length);
  out[length] = '\0';
}

}  // namespace

EXTERN_C void __cdecl _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  if (path == nullptr) {
    errno = EINVAL;
    CopyPart(drive, _MAX_DRIVE, "", 0);
    CopyPart(dir, _MAX_DIR, "", 0);
    CopyPart(fname, _MAX_FNAME, "", 0);
    CopyPart(ext, _MAX_EXT, "", 0);
    return;
  }
  const char* rest = path;
  size_t driveLength = (path[0] != '\0' && path[1] == ':') ? 2 : 0;
  CopyPart(drive, _MAX_DRIVE, path, driveLength);
  rest += driveLength;

  // The directory runs through the last separator, the extension from the
  // last dot after it.
  const char* lastSeparator = nullptr;
  const char* lastDot = nullptr;
  for (const char* p = rest; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') {
      lastSeparator = p;
      lastDot = nullptr;
    } else if (*p == '.') {
      lastDot = p;
    }
  }
  const char* name = lastSeparator != nullptr ? lastSeparator + 1 : rest;
  const char* end = rest + std::strlen(rest);
  const char* nameEnd = lastDot != nullptr ? lastDot : end;
  CopyPart(dir, _MAX_DIR, rest, static_cast<size_t>(name - rest));
  CopyPart(fname, _MAX_FNAME, name, static_cast<size_t>(nameEnd - name));
  CopyPart(ext, _MAX_EXT, nameEnd, static_cast<size_t>(end - nameEnd));
}

// Null strings are an invalid parameter: EINVAL and the CRT's error result.
EXTERN_C int __cdecl _stricmp(const char* string1, const char* string2) {
  if (string1 == nullptr || string2 == nullptr) {
    errno = EINVAL;
    return INT_MAX;
  }
  return strcasecmp(string1, string2);
}

EXTERN_C int __cdecl _strnicmp(const char* string1, const char* string2, size_t count) {
  if (string1 == nullptr || string2 == nullptr) {
    errno = EINVAL;
    return INT_MAX;
  }
  return strncasecmp(string1, string2, count);
}
