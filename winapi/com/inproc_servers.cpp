#include "inproc_servers.h"

#include <chrono>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include <libloaderapi.h>

namespace qzwin::com {
namespace {

using Clock = std::chrono::steady_clock;

struct LoadedServer {
  std::string path;
  HMODULE module;
  LPFNGETCLASSOBJECT getClassObject;
  LPFNCANUNLOADNOW canUnloadNow;  // null: the server is kept until COM shuts down
  bool apartmentThreaded;
  int callsInProgress = 0;  // DllGetClassObject or DllCanUnloadNow running: not unloaded
  // Counts every call into the server, so that an unload decided on an
  // answer of DllCanUnloadNow is dropped when the server was used since.
  unsigned long long uses = 0;
  std::optional<Clock::time_point> idleSince;
};

// Like the class table, the list is never locked while a server runs:
// loading runs its DllMain and static constructors, and DllGetClassObject
// and DllCanUnloadNow may call back into COM.
std::mutex g_mutex;
std::vector<LoadedServer> g_servers;

template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(GetProcAddress(module, name));
}

LoadedServer* FindByPath(const std::string& path) {
  for (LoadedServer& s : g_servers) {
    if (s.path == path) return &s;
  }
  return nullptr;
}

// Loads the server at path and adds it to the list, unless another thread
// did so meanwhile. Returns with the lock held and the server marked busy.
HRESULT LoadServer(const std::string& path, bool apartmentThreaded, std::unique_lock<std::mutex>* lock,
                   LPFNGETCLASSOBJECT* getClassObject) {
  lock->unlock();
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    lock->lock();
    return CO_E_DLLNOTFOUND;
  }
  auto get = Export<LPFNGETCLASSOBJECT>(module, "DllGetClassObject");
  auto canUnloadNow = Export<LPFNCANUNLOADNOW>(module, "DllCanUnloadNow");
  if (get == nullptr) {
    FreeLibrary(module);
    lock->lock();
    return CO_E_ERRORINDLL;
  }
  lock->lock();
  LoadedServer* server = FindByPath(path);
  if (server != nullptr) {
    // Lost a race with another thread: keep its load, give ours back.
    lock->unlock();
    FreeLibrary(module);
    lock->lock();
    server = FindByPath(path);
  }
  if (server == nullptr) {
    try {
      g_servers.push_back({path, module, get, canUnloadNow, apartmentThreaded, 0, 0, std::nullopt});
    } catch (const std::bad_alloc&) {
      lock->unlock();
      FreeLibrary(module);
      lock->lock();
      return E_OUTOFMEMORY;
    }
    server = &g_servers.back();
  }
  ++server->callsInProgress;
  ++server->uses;
  *getClassObject = server->getClassObject;
  return S_OK;
}

}  // namespace

HRESULT GetClassObjectFromServer(const std::string& path, bool apartmentThreaded, REFCLSID clsid, REFIID riid,
                                 void** ppv) {
  std::unique_lock lock(g_mutex);
  LPFNGETCLASSOBJECT getClassObject = nullptr;
  LoadedServer* server = FindByPath(path);
  if (server != nullptr) {
    ++server->callsInProgress;
    ++server->uses;
    getClassObject = server->getClassObject;
  } else {
    HRESULT hr = LoadServer(path, apartmentThreaded, &lock, &getClassObject);
    if (FAILED(hr)) return hr;
  }
  lock.unlock();
  HRESULT hr = getClassObject(clsid, riid, ppv);
  lock.lock();
  // The list may have changed while the server ran; find it again.
  if (LoadedServer* again = FindByPath(path)) --again->callsInProgress;
  return hr;
}

void FreeUnusedServers(DWORD unloadDelayMs) {
  struct Candidate {
    std::string path;
    LPFNCANUNLOADNOW canUnloadNow;
    unsigned long long uses;
  };
  std::vector<Candidate> candidates;
  {
    std::lock_guard lock(g_mutex);
    for (LoadedServer& s : g_servers) {
      if (s.canUnloadNow == nullptr || s.callsInProgress != 0) continue;
      ++s.callsInProgress;  // no other thread unloads it while it is asked
      candidates.push_back({s.path, s.canUnloadNow, s.uses});
    }
  }
  for (const Candidate& c : candidates) {
    HRESULT answer = c.canUnloadNow();
    std::unique_lock lock(g_mutex);
    LoadedServer* server = FindByPath(c.path);
    if (server == nullptr) continue;
    --server->callsInProgress;
    if (server->callsInProgress != 0 || server->uses != c.uses) continue;
    if (answer != S_OK) {
      server->idleSince.reset();
      continue;
    }
    if (!server->apartmentThreaded && unloadDelayMs != 0) {
      Clock::time_point now = Clock::now();
      if (!server->idleSince) server->idleSince = now;
      if (now - *server->idleSince < std::chrono::milliseconds(unloadDelayMs)) continue;
    }
    HMODULE module = server->module;
    std::erase_if(g_servers, [&](const LoadedServer& s) { return s.path == c.path; });
    lock.unlock();
    FreeLibrary(module);
  }
}

void UnloadAllServers() {
  std::vector<LoadedServer> servers;
  {
    std::lock_guard lock(g_mutex);
    servers.swap(g_servers);
  }
  for (const LoadedServer& s : servers) FreeLibrary(s.module);
}

}  // namespace qzwin::com

// INFINITE as an unload delay: the default delay.
constexpr DWORD kDefaultDelayRequested = 0xFFFFFFFF;

STDAPI_(void) CoFreeUnusedLibrariesEx(DWORD dwUnloadDelay, DWORD) {
  qzwin::com::FreeUnusedServers(dwUnloadDelay == kDefaultDelayRequested ? qzwin::com::kDefaultUnloadDelayMs
                                                                        : dwUnloadDelay);
}

STDAPI_(void) CoFreeUnusedLibraries(void) { CoFreeUnusedLibrariesEx(kDefaultDelayRequested, 0); }
