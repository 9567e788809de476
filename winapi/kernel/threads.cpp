// Thread and process identity, and debugger output.
#include <cstdio>
#include <cstdlib>

#include <sys/syscall.h>
#include <unistd.h>

#include <winbase.h>

EXTERN_C DWORD WINAPI GetCurrentThreadId(void) {
  thread_local const DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
  return id;
}

EXTERN_C DWORD WINAPI GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }

// There is no debugger to listen; QZ_DEBUG_OUTPUT sends the text to stderr.
EXTERN_C void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  if (lpOutputString == nullptr || std::getenv("QZ_DEBUG_OUTPUT") == nullptr) return;
  std::fputs(lpOutputString, stderr);
}
