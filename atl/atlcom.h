// COM objects on the shell: the object root, the COM map, the object
// wrappers, creators and class factory, the coclass base, the
// type-information IDispatch and the empty connection-point container.
#pragma once

#include <new>

#include <ocidl.h>
#include <olectl.h>

#include "atlbase.h"

namespace ATL {

// ---- The COM map -------------------------------------------------------------

// Gives the interface pointer of one COM map entry from the object's address.
typedef void*(WINAPI _ATL_INTERFACECASTFUNC)(void* pThis);

struct _ATL_INTMAP_ENTRY {
  const IID* piid;  // null ends the map
  _ATL_INTERFACECASTFUNC* pfnCast;
};

template <class T, class I>
void* WINAPI AtlInterfaceCast(void* pThis) {
  return static_cast<I*>(static_cast<T*>(pThis));
}

// For an interface that several bases derive from: through the base Via.
template <class T, class I, class Via>
void* WINAPI AtlInterfaceCastVia(void* pThis) {
  return static_cast<I*>(static_cast<Via*>(static_cast<T*>(pThis)));
}

// QueryInterface over a COM map: E_POINTER for a null ppvObject; IUnknown is
// the first entry; an IID not in the map is E_NOINTERFACE with *ppvObject null.
HRESULT WINAPI AtlInternalQueryInterface(void* pThis, const _ATL_INTMAP_ENTRY* pEntries, REFIID iid,
                                         void** ppvObject);

// ---- Object root -------------------------------------------------------------

// A reference count that CComObject<T> adds and drops; while the object is
// destroyed it holds a large negative value, so that a Release made from
// FinalRelease cannot delete the object a second time.
constexpr LONG kAtlDestroyingRefCount = -(0x7FFFFFFF / 2);

class CComObjectRootBase {
 public:
  HRESULT FinalConstruct() { return S_OK; }
  void FinalRelease() {}
  void SetVoid(void*) {}
  static void WINAPI ObjectMain(bool) {}

  LONG m_dwRef = 0;
};

template <class ThreadModel>
class CComObjectRootEx : public CComObjectRootBase {
 public:
  typedef ThreadModel _ThreadModel;
  typedef typename ThreadModel::AutoCriticalSection _CritSec;

  ULONG InternalAddRef() { return ThreadModel::Increment(&m_dwRef); }
  ULONG InternalRelease() { return ThreadModel::Decrement(&m_dwRef); }
  // The count is raised while FinalConstruct runs, so that the object may
  // hand out and take back references to itself without being deleted.
  void InternalFinalConstructAddRef() { InternalAddRef(); }
  void InternalFinalConstructRelease() { InternalRelease(); }
  void Lock() { m_critsec.Lock(); }
  void Unlock() { m_critsec.Unlock(); }

 private:
  _CritSec m_critsec;
};

// ---- Objects -----------------------------------------------------------------

ATL_MODULE_LOCAL inline void AtlModuleLock() {
  if (_pAtlModule != NULL) _pAtlModule->Lock();
}
ATL_MODULE_LOCAL inline void AtlModuleUnlock() {
  if (_pAtlModule != NULL) _pAtlModule->Unlock();
}

// A creatable object: IUnknown over the COM map of Base. Every living object
// holds one lock on the module.
template <class Base>
class ATL_MODULE_LOCAL CComObject : public Base {
 public:
  typedef Base _BaseClass;

  explicit CComObject(void* = NULL) { AtlModuleLock(); }
  virtual ~CComObject() {
    this->m_dwRef = kAtlDestroyingRefCount;
    this->FinalRelease();
    AtlModuleUnlock();
  }

  STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
  STDMETHOD_(ULONG, Release)() override {
    ULONG left = this->InternalRelease();
    if (left == 0) delete this;
    return left;
  }
  STDMETHOD(QueryInterface)(REFIID iid, void** ppvObject) override {
    return this->_InternalQueryInterface(iid, ppvObject);
  }
  template <class Q>
  HRESULT STDMETHODCALLTYPE QueryInterface(Q** pp) {
    return QueryInterface(__uuidof(Q), reinterpret_cast<void**>(pp));
  }

  // A new object with a reference count of 0, after its FinalConstruct.
  static HRESULT WINAPI CreateInstance(CComObject<Base>** pp) {
    if (pp == NULL) return E_POINTER;
    *pp = NULL;
    CComObject<Base>* p = new (std::nothrow) CComObject<Base>();
    if (p == NULL) return E_OUTOFMEMORY;
    p->SetVoid(NULL);
    p->InternalFinalConstructAddRef();
    HRESULT hr = p->FinalConstruct();
    p->InternalFinalConstructRelease();
    if (hr != S_OK) {
      delete p;
      return hr;
    }
    *pp = p;
    return hr;
  }
};

// A class object kept by the module: only client references (count 2 and
// up) lock the module.
template <class Base>
class ATL_MODULE_LOCAL CComObjectCached : public Base {
 public:
  typedef Base _BaseClass;

  explicit CComObjectCached(void* = NULL) {}
  virtual ~CComObjectCached() {
    this->m_dwRef = kAtlDestroyingRefCount;
    this->FinalRelease();
  }

  STDMETHOD_(ULONG, AddRef)() override {
    CComCritSecLock<CComCriticalSection> lock(m_csCached);
    ULONG count = this->InternalAddRef();
    if (count == 2) AtlModuleLock();
    return count;
  }
  STDMETHOD_(ULONG, Release)() override {
    ULONG count;
    {
      CComCritSecLock<CComCriticalSection> lock(m_csCached);
      count = this->InternalRelease();
      if (count == 1) AtlModuleUnlock();
    }
    if (count == 0) delete this;
    return count;
  }
  STDMETHOD(QueryInterface)(REFIID iid, void** ppvObject) override {
    return this->_InternalQueryInterface(iid, ppvObject);
  }

 private:
  CComCriticalSection m_csCached;
};

// ---- Creators ------------------------------------------------------------------

// Makes a T1 (a CComObject<...>) for pv and asks it for riid: E_POINTER for
// a null ppv; the count is raised around FinalConstruct; on any failure the
// object is destroyed and the failure returned.
template <class T1>
class ATL_MODULE_LOCAL CComCreator {
 public:
  static HRESULT WINAPI CreateInstance(void* pv, REFIID riid, LPVOID* ppv) {
    if (ppv == NULL) return E_POINTER;
    *ppv = NULL;
    T1* p = new (std::nothrow) T1(pv);
    if (p == NULL) return E_OUTOFMEMORY;
    p->SetVoid(pv);
    p->InternalFinalConstructAddRef();
    HRESULT hr = p->FinalConstruct();
    p->InternalFinalConstructRelease();
    if (hr == S_OK) hr = p->QueryInterface(riid, ppv);
    if (hr != S_OK) delete p;
    return hr;
  }
};

template <HRESULT hrFail>
class ATL_MODULE_LOCAL CComFailCreator {
 public:
  static HRESULT WINAPI CreateInstance(void*, REFIID, LPVOID* ppv) {
    if (ppv == NULL) return E_POINTER;
    *ppv = NULL;
    return hrFail;
  }
};

// T1 without an outer object, T2 with one.
template <class T1, class T2>
class ATL_MODULE_LOCAL CComCreator2 {
 public:
  static HRESULT WINAPI CreateInstance(void* pv, REFIID riid, LPVOID* ppv) {
    return pv == NULL ? T1::CreateInstance(NULL, riid, ppv) : T2::CreateInstance(pv, riid, ppv);
  }
};

}  // namespace ATL

// ---- COM map macros ------------------------------------------------------------

#define BEGIN_COM_MAP(x)                                                                       \
 public:                                                                                       \
  typedef x _ComMapClass;                                                                      \
  IUnknown* _GetRawUnknown() { return static_cast<IUnknown*>(_GetEntries()[0].pfnCast(this)); } \
  IUnknown* GetUnknown() { return _GetRawUnknown(); }                                          \
  HRESULT _InternalQueryInterface(REFIID iid, void** ppvObject) {                              \
    return ATL::AtlInternalQueryInterface(this, _GetEntries(), iid, ppvObject);                \
  }                                                                                            \
  static const ATL::_ATL_INTMAP_ENTRY* WINAPI _GetEntries() {                                   \
    static const ATL::_ATL_INTMAP_ENTRY _entries[] = {
#define COM_INTERFACE_ENTRY(x) {&__uuidof(x), &ATL::AtlInterfaceCast<_ComMapClass, x>},
#define COM_INTERFACE_ENTRY_IID(iid, x) {&iid, &ATL::AtlInterfaceCast<_ComMapClass, x>},
#define COM_INTERFACE_ENTRY2(x, x2) {&__uuidof(x), &ATL::AtlInterfaceCastVia<_ComMapClass, x, x2>},
#define COM_INTERFACE_ENTRY2_IID(iid, x, x2) {&iid, &ATL::AtlInterfaceCastVia<_ComMapClass, x, x2>},
// The pure IUnknown methods let the class call AddRef and Release on itself
// although it derives IUnknown through several interfaces.
#define END_COM_MAP()                                                 \
  {NULL, NULL}                                                        \
  }                                                                   \
  ;                                                                   \
  return _entries;                                                    \
  }                                                                   \
  ULONG STDMETHODCALLTYPE AddRef() override = 0;                      \
  ULONG STDMETHODCALLTYPE Release() override = 0;                     \
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override = 0;

// The creator is always protected (see CComObjectRootEx); kept for classes
// written with it.
#define DECLARE_PROTECT_FINAL_CONSTRUCT()

#define DECLARE_CLASSFACTORY_EX(cf) typedef ATL::CComCreator<ATL::CComObjectCached<cf> > _ClassFactoryCreatorClass;
#define DECLARE_CLASSFACTORY() DECLARE_CLASSFACTORY_EX(ATL::CComClassFactory)

// Aggregation is not offered: an outer object is refused.
#define DECLARE_NOT_AGGREGATABLE(x)                                                                   \
 public:                                                                                              \
  typedef ATL::CComCreator2<ATL::CComCreator<ATL::CComObject<x> >, ATL::CComFailCreator<CLASS_E_NOAGGREGATION> > \
      _CreatorClass;

namespace ATL {

// ---- Class factory and coclass -----------------------------------------------

// The standard class object: CreateInstance through the object-map entry's
// creator; LockServer locks the module.
class ATL_NO_VTABLE ATL_MODULE_LOCAL CComClassFactory : public IClassFactory, public CComObjectRootEx<CComGlobalsThreadModel> {
 public:
  BEGIN_COM_MAP(CComClassFactory)
  COM_INTERFACE_ENTRY(IClassFactory)
  END_COM_MAP()

  // E_POINTER for a null ppvObj; an outer object with an IID other than
  // IUnknown is CLASS_E_NOAGGREGATION before anything is made.
  STDMETHOD(CreateInstance)(LPUNKNOWN pUnkOuter, REFIID riid, void** ppvObj) override;
  STDMETHOD(LockServer)(BOOL fLock) override;

  // The creator, handed over by the module when it makes the class object.
  void SetVoid(void* pv) { m_pfnCreateInstance = reinterpret_cast<_ATL_CREATORFUNC*>(pv); }

  _ATL_CREATORFUNC* m_pfnCreateInstance = NULL;
};

template <class T, const CLSID* pclsid = &CLSID_NULL>
class CComCoClass {
 public:
  DECLARE_CLASSFACTORY()
  DECLARE_NOT_AGGREGATABLE(T)

  static const CLSID& WINAPI GetObjectCLSID() { return *pclsid; }
  static LPCSTR WINAPI GetObjectDescription() { return NULL; }

  template <class Q>
  static HRESULT CreateInstance(IUnknown* punkOuter, Q** pp) {
    return T::_CreatorClass::CreateInstance(punkOuter, __uuidof(Q), reinterpret_cast<void**>(pp));
  }
  template <class Q>
  static HRESULT CreateInstance(Q** pp) {
    return T::_CreatorClass::CreateInstance(NULL, __uuidof(Q), reinterpret_cast<void**>(pp));
  }
};

// ---- Type-information IDispatch ----------------------------------------------

// The type information of one interface, loaded from the registered type
// library on first use and kept until the module's Term.
class CComTypeInfoHolder {
 public:
  // DISP_E_BADINDEX for an index other than 0; E_POINTER for a null out-pointer.
  HRESULT GetTypeInfo(UINT itinfo, LCID lcid, ITypeInfo** pptinfo);
  HRESULT GetTI(LCID lcid, ITypeInfo** ppInfo);
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgdispid);
  HRESULT Invoke(IDispatch* p, DISPID dispidMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pdispparams,
                 VARIANT* pvarResult, EXCEPINFO* pexcepinfo, UINT* puArgErr);

  // Loads the type information once: LoadRegTypeLib, then GetTypeInfoOfGuid.
  HRESULT EnsureTI(LCID lcid);
  static void WINAPI Cleanup(DWORD_PTR dw);

  // An aggregate, so that every holder is initialised before any code runs.
  const GUID* m_pguid;
  const GUID* m_plibid;
  WORD m_wMajor;
  WORD m_wMinor;
  ITypeInfo* m_pInfo;
};

// IDispatch of the dual interface T from its type information: the type
// library plibid, version wMajor.wMinor or a later minor version, as
// registered. (ATL also defaults piid to T's IID; here it is named.)
template <class T, const IID* piid, const GUID* plibid = &CComModule::m_libid, WORD wMajor = 1, WORD wMinor = 0,
          class tihclass = CComTypeInfoHolder>
class ATL_NO_VTABLE IDispatchImpl : public T {
 public:
  typedef tihclass _tihclass;

  STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override {
    if (pctinfo == NULL) return E_POINTER;
    *pctinfo = 1;
    return S_OK;
  }
  STDMETHOD(GetTypeInfo)(UINT itinfo, LCID lcid, ITypeInfo** pptinfo) override {
    return _tih.GetTypeInfo(itinfo, lcid, pptinfo);
  }
  STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgdispid) override {
    return _tih.GetIDsOfNames(riid, rgszNames, cNames, lcid, rgdispid);
  }
  STDMETHOD(Invoke)(DISPID dispidMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pdispparams,
                    VARIANT* pvarResult, EXCEPINFO* pexcepinfo, UINT* puArgErr) override {
    return _tih.Invoke(static_cast<T*>(this), dispidMember, riid, lcid, wFlags, pdispparams, pvarResult, pexcepinfo,
                       puArgErr);
  }

 protected:
  static tihclass _tih;
  static HRESULT GetTI(LCID lcid, ITypeInfo** ppInfo) { return _tih.GetTI(lcid, ppInfo); }
};

template <class T, const IID* piid, const GUID* plibid, WORD wMajor, WORD wMinor, class tihclass>
tihclass IDispatchImpl<T, piid, plibid, wMajor, wMinor, tihclass>::_tih = {piid, plibid, wMajor, wMinor, NULL};

// ---- Connection points ---------------------------------------------------------

// Only empty maps are offered: the system never fires events.
struct _ATL_CONNMAP_ENTRY {
  DWORD_PTR dwOffset;
};

// A new enumerator over no connection points (E_POINTER for a null ppEnum).
HRESULT WINAPI AtlCreateEmptyConnectionPointEnum(IEnumConnectionPoints** ppEnum);

template <class T>
class ATL_NO_VTABLE IConnectionPointContainerImpl : public IConnectionPointContainer {
 public:
  STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints** ppEnum) override {
    T::GetConnMap(NULL);  // the class must declare its (empty) map
    return AtlCreateEmptyConnectionPointEnum(ppEnum);
  }
  STDMETHOD(FindConnectionPoint)(REFIID, IConnectionPoint** ppCP) override {
    if (ppCP == NULL) return E_POINTER;
    *ppCP = NULL;
    return CONNECT_E_NOCONNECTION;
  }
};

}  // namespace ATL

#define BEGIN_CONNECTION_POINT_MAP(x)                                           \
  static const ATL::_ATL_CONNMAP_ENTRY* GetConnMap(int* pnEntries) {            \
    static const ATL::_ATL_CONNMAP_ENTRY _entries[] = {
#define END_CONNECTION_POINT_MAP() \
  {(DWORD_PTR)-1}                  \
  }                                \
  ;                                \
  if (pnEntries != NULL) *pnEntries = 0; \
  return _entries;                 \
  }
