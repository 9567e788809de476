// A tiny in-process server: one class whose objects add numbers. It keeps
// a count of live objects and server locks for DllCanUnloadNow.
#include <atomic>
#include <new>

#include "test_server.h"

namespace {

std::atomic<LONG> g_moduleLocks{0};

// Reference counting shared by the two classes of the server.
template <class Interface>
class Counted : public Interface {
 public:
  Counted() { ++g_moduleLocks; }
  virtual ~Counted() { --g_moduleLocks; }

  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  HRESULT Answer(REFIID riid, REFIID own, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != own) return E_NOINTERFACE;
    *ppv = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

class Adder final : public Counted<comtest::IAdder> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return Answer(riid, comtest::kAdderIid, ppv);
  }
  HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) override {
    *sum = a + b;
    return S_OK;
  }
};

class Factory final : public Counted<IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return Answer(riid, IID_IClassFactory, ppv);
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Adder* adder = new (std::nothrow) Adder;
    if (adder == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = adder->QueryInterface(riid, ppv);
    adder->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) ++g_moduleLocks;
    else --g_moduleLocks;
    return S_OK;
  }
};

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (rclsid != comtest::kServerClsid) return CLASS_E_CLASSNOTAVAILABLE;
  Factory* factory = new (std::nothrow) Factory;
  if (factory == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = factory->QueryInterface(riid, ppv);
  factory->Release();
  return hr;
}

STDAPI DllCanUnloadNow(void) { return g_moduleLocks == 0 ? S_OK : S_FALSE; }
