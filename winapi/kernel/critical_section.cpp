// Critical sections: a recursive lock owned by one thread at a time. The lock
// itself lives behind DebugInfo; the SDK's bookkeeping fields are kept up to
// date so that a debugger view (or an owner check) reads as on Windows.
#include <mutex>
#include <new>

#include <winbase.h>

namespace {

std::recursive_mutex* LockOf(LPCRITICAL_SECTION section) {
  return section == nullptr ? nullptr : static_cast<std::recursive_mutex*>(section->DebugInfo);
}

HANDLE CurrentOwner() { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId())); }

}  // namespace

EXTERN_C BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection,
                                                           DWORD dwSpinCount) {
  if (lpCriticalSection == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto* lock = new (std::nothrow) std::recursive_mutex();
  if (lock == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  lpCriticalSection->DebugInfo = lock;
  lpCriticalSection->LockCount = -1;
  lpCriticalSection->RecursionCount = 0;
  lpCriticalSection->OwningThread = nullptr;
  lpCriticalSection->LockSemaphore = nullptr;
  lpCriticalSection->SpinCount = dwSpinCount;
  return TRUE;
}

EXTERN_C void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  InitializeCriticalSectionAndSpinCount(lpCriticalSection, 0);
}

EXTERN_C void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  std::recursive_mutex* lock = LockOf(lpCriticalSection);
  if (lock == nullptr) return;
  lock->lock();
  lpCriticalSection->OwningThread = CurrentOwner();
  ++lpCriticalSection->RecursionCount;
  ++lpCriticalSection->LockCount;
}

EXTERN_C BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  std::recursive_mutex* lock = LockOf(lpCriticalSection);
  if (lock == nullptr || !lock->try_lock()) return FALSE;
  lpCriticalSection->OwningThread = CurrentOwner();
  ++lpCriticalSection->RecursionCount;
  ++lpCriticalSection->LockCount;
  return TRUE;
}

EXTERN_C void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  std::recursive_mutex* lock = LockOf(lpCriticalSection);
  // Leaving a section this thread does not hold is a caller bug; ignoring it
  // keeps the lock consistent for its real owner.
  if (lock == nullptr || lpCriticalSection->OwningThread != CurrentOwner() ||
      lpCriticalSection->RecursionCount <= 0)
    return;
  --lpCriticalSection->LockCount;
  if (--lpCriticalSection->RecursionCount == 0) lpCriticalSection->OwningThread = nullptr;
  lock->unlock();
}

EXTERN_C void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  std::recursive_mutex* lock = LockOf(lpCriticalSection);
  if (lock == nullptr) return;
  delete lock;
  lpCriticalSection->DebugInfo = nullptr;
}
