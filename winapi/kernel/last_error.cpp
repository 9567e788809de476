// The last-error code is kept per thread, as on Windows.
#include <winbase.h>

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

EXTERN_C DWORD WINAPI GetLastError(void) { return lastError; }

EXTERN_C void WINAPI SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }
