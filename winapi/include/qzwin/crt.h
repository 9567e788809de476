// C runtime functions of the Windows CRT that POSIX lacks.
#pragma once

#include <windef.h>

// Buffer sizes of _splitpath's parts, each including the terminator.
#define _MAX_PATH 260
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256

// Splits a path into drive ("C:"), directory (through the last '\' or '/'),
// file name and extension (from the last '.', dot included). Any out-pointer
// may be null; each part is cut to its _MAX_ size.
EXTERN_C void __cdecl _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);

EXTERN_C int __cdecl _stricmp(const char* string1, const char* string2);
EXTERN_C int __cdecl _strnicmp(const char* string1, const char* string2, size_t count);

// ---- C streams ----------------------------------------------------------------

// fopen takes Windows paths, as it does on Windows: the path goes through the
// drive model first (a POSIX path stays as it is). POSIX streams never
// translate line ends, so text mode ("w+") writes the bytes it is given.
#ifdef __cplusplus
#include <cerrno>
#include <cstdio>
#include <string>

#include <qzwin/platform.h>

inline FILE* qzwin_fopen(const char* path, const char* mode) {
  std::string posixPath;
  if (path == nullptr || mode == nullptr || !qzwin::ResolvePosixPath(path, &posixPath)) {
    errno = ENOENT;
    return nullptr;
  }
  return std::fopen(posixPath.c_str(), mode);
}
namespace std {
using ::qzwin_fopen;
}  // namespace std
#define fopen qzwin_fopen
#endif
