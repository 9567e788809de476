// The task allocator: memory that COM hands to callers and callers to COM.
#include <cstdlib>

#include <objbase.h>

// Zero bytes still make a block, as on Windows.
STDAPI_(LPVOID) CoTaskMemAlloc(SIZE_T cb) { return std::malloc(cb != 0 ? cb : 1); }

STDAPI_(LPVOID) CoTaskMemRealloc(LPVOID pv, SIZE_T cb) {
  if (pv == nullptr) return CoTaskMemAlloc(cb);
  if (cb == 0) {
    std::free(pv);
    return nullptr;
  }
  return std::realloc(pv, cb);
}

STDAPI_(void) CoTaskMemFree(LPVOID pv) { std::free(pv); }
