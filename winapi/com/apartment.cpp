#include "apartment.h"

#include <mutex>

#include <objbase.h>

#include "class_table.h"
#include "inproc_servers.h"

namespace qzwin::com {
namespace {

enum class Model { kApartment, kMultithreaded };

struct ThreadState {
  ULONG initCount = 0;
  Model model = Model::kApartment;
};
thread_local ThreadState t_state;

// Threads that are initialised now; when the last one leaves, the process's
// COM state is torn down.
std::mutex g_mutex;
ULONG g_initialisedThreads = 0;

}  // namespace

bool ThreadIsInitialised() { return t_state.initCount > 0; }

}  // namespace qzwin::com

using namespace qzwin::com;

STDAPI CoInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED); }

STDAPI CoInitializeEx(LPVOID, DWORD dwCoInit) {
  Model model = (dwCoInit & COINIT_APARTMENTTHREADED) != 0 ? Model::kApartment : Model::kMultithreaded;
  if (t_state.initCount > 0) {
    if (t_state.model != model) return RPC_E_CHANGED_MODE;
    ++t_state.initCount;
    return S_FALSE;
  }
  t_state.initCount = 1;
  t_state.model = model;
  std::lock_guard lock(g_mutex);
  ++g_initialisedThreads;
  return S_OK;
}

STDAPI_(void) CoUninitialize(void) {
  if (t_state.initCount == 0) return;
  if (t_state.initCount > 1) {
    --t_state.initCount;
    return;
  }
  // Still initialised while the thread's class objects are released, so
  // that an object which revokes its own registration on the way out gets
  // an ordinary answer.
  RevokeRegistrationsOfThisThread();
  t_state.initCount = 0;
  bool last = false;
  {
    std::lock_guard lock(g_mutex);
    last = --g_initialisedThreads == 0;
  }
  if (!last) return;
  RevokeAllRegistrations();
  UnloadAllServers();
}
