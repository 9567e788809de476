#include "class_table.h"

#include <mutex>
#include <new>
#include <vector>

namespace qzwin::com {
namespace {

struct Registration {
  DWORD cookie;
  CLSID clsid;
  IUnknown* object;  // the table's own reference
  DWORD clsContext;
  Apartment apartment;  // the only one that sees it
};

// The table never calls out while it holds its lock: objects are added,
// released and asked for interfaces outside of it, because an object may
// register or revoke class objects from inside any of those calls.
std::mutex g_mutex;
std::vector<Registration> g_registrations;
DWORD g_lastCookie = 0;

DWORD NextCookie() {
  if (++g_lastCookie == 0) ++g_lastCookie;  // 0 is never a cookie
  return g_lastCookie;
}

template <class Predicate>
void RevokeWhere(Predicate matches) {
  std::vector<IUnknown*> released;
  {
    std::lock_guard lock(g_mutex);
    std::erase_if(g_registrations, [&](const Registration& r) {
      if (!matches(r)) return false;
      released.push_back(r.object);
      return true;
    });
  }
  for (IUnknown* object : released) object->Release();
}

}  // namespace

IUnknown* FindRegisteredClassObject(REFCLSID clsid, DWORD clsContext) {
  const Apartment caller = CurrentApartment();
  std::lock_guard lock(g_mutex);
  for (const Registration& r : g_registrations) {
    if (r.clsid == clsid && (r.clsContext & clsContext) != 0 && r.apartment == caller) {
      // Taking a reference cannot re-enter COM.
      r.object->AddRef();
      return r.object;
    }
  }
  return nullptr;
}

void RevokeRegistrationsOf(const Apartment& apartment) {
  RevokeWhere([&apartment](const Registration& r) { return r.apartment == apartment; });
}

void RevokeAllRegistrations() {
  RevokeWhere([](const Registration&) { return true; });
}

}  // namespace qzwin::com

using namespace qzwin::com;

STDAPI CoRegisterClassObject(REFCLSID rclsid, LPUNKNOWN pUnk, DWORD dwClsContext, DWORD flags,
                             LPDWORD lpdwRegister) {
  if (lpdwRegister == nullptr || pUnk == nullptr) return E_INVALIDARG;
  *lpdwRegister = 0;
  if (!ThreadIsInitialised()) return CO_E_NOTINITIALIZED;
  // A multiple-use local server is also this process's in-process server.
  if ((flags & REGCLS_MULTIPLEUSE) != 0 && (dwClsContext & CLSCTX_LOCAL_SERVER) != 0) {
    dwClsContext |= CLSCTX_INPROC_SERVER;
  }
  pUnk->AddRef();
  try {
    std::lock_guard lock(g_mutex);
    DWORD cookie = NextCookie();
    g_registrations.push_back({cookie, rclsid, pUnk, dwClsContext, CurrentApartment()});
    *lpdwRegister = cookie;
    return S_OK;
  } catch (const std::bad_alloc&) {
    // Released outside the lock, which the scope above has given back.
  }
  pUnk->Release();
  return E_OUTOFMEMORY;
}

// A cookie that is not (or no longer) registered is refused: an object that
// revokes its own registration after its apartment has already dropped it
// gets E_INVALIDARG and nothing else happens.
STDAPI CoRevokeClassObject(DWORD dwRegister) {
  if (!ThreadIsInitialised()) return CO_E_NOTINITIALIZED;
  const Apartment caller = CurrentApartment();
  HRESULT hr = E_INVALIDARG;
  RevokeWhere([&](const Registration& r) {
    if (r.cookie != dwRegister) return false;
    hr = r.apartment == caller ? S_OK : RPC_E_WRONG_THREAD;
    return hr == S_OK;
  });
  return hr;
}
