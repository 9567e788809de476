// The plumbing that the stand-in's own COM objects share: the reference
// count, QueryInterface answered from a table, the IDispatch of objects that
// carry no type information, and class objects that live as long as their
// library. Private to winapi/: it is not one of the SDK headers.
//
//   class Stream final : public ComObject<Stream, IStream> {
//    public:
//     using Interfaces = InterfaceTable<Answers<IStream>, Answers<ISequentialStream, IStream>>;
//     ...
//   };
#pragma once

#include <atomic>
#include <type_traits>

#include <sys/single_threaded.h>

#include <oaidl.h>
#include <unknwn.h>

namespace qzwin {

// IUnknown's id, written here because the OLE Automation library uses this
// header and is linked before the COM library that defines IID_IUnknown.
inline constexpr IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// A row of a QueryInterface table: asked for I, the object answers with its
// base Via seen as I. Via is I itself, or the interface derived from I that
// the object implements. Classes private to a library get an id of their own
// with QZ_DECLARE_UUIDOF and answer it with themselves.
template <class I, class Via = I>
struct Answers {
  template <class Object>
  static void* Find(Object* object, REFIID riid) {
    if (riid != __uuidof(I)) return nullptr;
    return static_cast<I*>(static_cast<Via*>(object));
  }
};

// The rows an object answers, tried in order. A table may stand as a row of
// another, so that a class adds to the table of the one it derives from.
template <class... Rows>
struct InterfaceTable {
  template <class Object>
  static void* Find([[maybe_unused]] Object* object, [[maybe_unused]] REFIID riid) {
    void* found = nullptr;
    (void)((found = Rows::template Find<Object>(object, riid), found != nullptr) || ...);
    return found;
  }
};

// The IDispatch of an object that carries no type information: it is meant
// to be called through its vtable, and a late-bound caller learns that it has
// no names. Every dual interface of a ComObject gets it, unless the class
// overrides these four methods.
template <class I>
class DispatchStub : public I {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
    if (pctinfo == nullptr) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
    if (ppTInfo != nullptr) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

template <class I>
using ComBase = std::conditional_t<std::is_base_of_v<IDispatch, I>, DispatchStub<I>, I>;

// QueryInterface for an object whose identity is its base First: IUnknown
// (and IDispatch, when First is dual) answer with First; the table the rest.
template <class Table, class First, class Object>
HRESULT QueryInterfaceFromTable(Object* object, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  void* found = nullptr;
  if (riid == kIidUnknown) {
    found = static_cast<IUnknown*>(static_cast<First*>(object));
  } else if constexpr (std::is_base_of_v<IDispatch, First>) {
    if (riid == __uuidof(IDispatch)) found = static_cast<IDispatch*>(static_cast<First*>(object));
  }
  if (found == nullptr) found = Table::Find(object, riid);
  *ppv = found;
  if (found == nullptr) return E_NOINTERFACE;
  object->AddRef();
  return S_OK;
}

// A COM object of class Derived implementing First and Others. QueryInterface
// answers from Derived::Interfaces, by default each interface for its own id.
// The object starts with one reference, its creator's, and the last Release
// deletes it. Objects may be free-threaded: once the process has a second
// thread, the count changes atomically.
template <class Derived, class First, class... Others>
class ComObject : public ComBase<First>, public ComBase<Others>... {
 public:
  using Interfaces = InterfaceTable<Answers<First>, Answers<Others>...>;

  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return QueryInterfaceFromTable<typename Derived::Interfaces, First>(static_cast<Derived*>(this), riid, ppv);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Count(+1); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = Count(-1);
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  // Adds step to the count and returns the new count. While the process
  // has one thread nothing can race with it, and a locked instruction costs
  // as much as the rest of a small call: like libstdc++'s shared_ptr, the
  // count is then changed without one.
  ULONG Count(int step) {
    if (__libc_single_threaded) {
      const ULONG now = refs_.load(std::memory_order_relaxed) + static_cast<ULONG>(step);
      refs_.store(now, std::memory_order_relaxed);
      return now;
    }
    return refs_.fetch_add(static_cast<ULONG>(step)) + static_cast<ULONG>(step);
  }

  std::atomic<ULONG> refs_{1};
};

// The class object of a class whose objects Make()() creates. It is a static
// object that lives as long as its library, so its count never changes.
template <class Make>
class StaticClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return QueryInterfaceFromTable<InterfaceTable<Answers<IClassFactory>>, IClassFactory>(this, riid, ppv);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
    IUnknown* object = Make()();
    if (object == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(riid, ppvObject);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// Hands out the class object of Make's class, as DllGetClassObject would:
// *ppv is set to null first, then to the interface riid of the class object.
template <class Make>
HRESULT GetStaticClassObject(REFIID riid, void** ppv) {
  static StaticClassFactory<Make> factory;
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  return factory.QueryInterface(riid, ppv);
}

}  // namespace qzwin
