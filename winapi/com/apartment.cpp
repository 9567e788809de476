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
// COM state is torn down. The multithreaded apartment ends with the last of
// its threads.
std::mutex g_mutex;
ULONG g_initialisedThreads = 0;
ULONG g_multithreadedThreads = 0;

}  // namespace

bool ThreadIsInitialised() { return t_state.initCount > 0; }

Apartment CurrentApartment() {
  if (t_state.model == Model::kMultithreaded) return Apartment{true, {}};
  return Apartment{false, std::this_thread::get_id()};
}

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
  if (model == Model::kMultithreaded) ++g_multithreadedThreads;
  return S_OK;
}

STDAPI_(void) CoUninitialize(void) {
  if (t_state.initCount == 0) return;
  if (t_state.initCount > 1) {
    --t_state.initCount;
    return;
  }
  bool apartmentEnds = true;
  if (t_state.model == Model::kMultithreaded) {
    std::lock_guard lock(g_mutex);
    apartmentEnds = --g_multithreadedThreads == 0;
  }
  // Still initialised while the apartment's class objects are released, so
  // that an object which revokes its own registration on the way out gets
  // an ordinary answer.
  if (apartmentEnds) RevokeRegistrationsOf(CurrentApartment());
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
