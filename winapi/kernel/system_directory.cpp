// The Windows system directory, C:\WINDOWS\system32 below the platform root.
#include <cstring>
#include <filesystem>
#include <system_error>

#include <qzwin/platform.h>
#include <winbase.h>

namespace {

constexpr char kSystemDirectory[] = "C:\\WINDOWS\\system32";

}  // namespace

// The folder is created here, on every ask, so that what the answer names
// exists on a fresh platform root.
EXTERN_C UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) {
  std::string posix;
  if (qzwin::ToPosixPath(kSystemDirectory, &posix)) {
    std::error_code ignored;
    std::filesystem::create_directories(posix, ignored);
  }
  constexpr UINT kLength = sizeof(kSystemDirectory) - 1;
  if (lpBuffer == nullptr || uSize <= kLength) return kLength + 1;  // the size needed, terminator included
  std::memcpy(lpBuffer, kSystemDirectory, kLength + 1);
  return kLength;
}
