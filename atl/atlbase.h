// The COM shell's base: thread models, the object map and the module.
//
// One module object per module (DLL, or the program itself): constructing a
// CComModule, or a class derived from it, makes it the module that the rest
// of the shell reaches through _pAtlModule, as ATL's module does. A library
// defines one global module object (the system's CQZModule derives from
// CComModule); a test program may construct a module of its own, which is
// the current one until it is destroyed (the one before is then current
// again). Init gives the module its object map, instance handle and LIBID;
// Term releases the class objects it made.
#pragma once

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include "atldef.h"

namespace ATL {

// ---- Thread models ----------------------------------------------------------

class CComCriticalSection {
 public:
  CComCriticalSection() { ::InitializeCriticalSection(&m_sec); }
  ~CComCriticalSection() { ::DeleteCriticalSection(&m_sec); }
  CComCriticalSection(const CComCriticalSection&) = delete;
  CComCriticalSection& operator=(const CComCriticalSection&) = delete;
  HRESULT Lock() {
    ::EnterCriticalSection(&m_sec);
    return S_OK;
  }
  HRESULT Unlock() {
    ::LeaveCriticalSection(&m_sec);
    return S_OK;
  }

 private:
  CRITICAL_SECTION m_sec;
};
typedef CComCriticalSection CComAutoCriticalSection;

class CComFakeCriticalSection {
 public:
  HRESULT Lock() { return S_OK; }
  HRESULT Unlock() { return S_OK; }
};

// Counts without interlocking: objects of one apartment thread.
class CComSingleThreadModel {
 public:
  static ULONG WINAPI Increment(LONG* p) { return static_cast<ULONG>(++(*p)); }
  static ULONG WINAPI Decrement(LONG* p) { return static_cast<ULONG>(--(*p)); }
  typedef CComFakeCriticalSection AutoCriticalSection;
  typedef CComFakeCriticalSection CriticalSection;
  typedef CComSingleThreadModel ThreadModelNoCS;
};

class CComMultiThreadModelNoCS {
 public:
  static ULONG WINAPI Increment(LONG* p) { return static_cast<ULONG>(::InterlockedIncrement(p)); }
  static ULONG WINAPI Decrement(LONG* p) { return static_cast<ULONG>(::InterlockedDecrement(p)); }
  typedef CComFakeCriticalSection AutoCriticalSection;
  typedef CComFakeCriticalSection CriticalSection;
  typedef CComMultiThreadModelNoCS ThreadModelNoCS;
};

class CComMultiThreadModel {
 public:
  static ULONG WINAPI Increment(LONG* p) { return static_cast<ULONG>(::InterlockedIncrement(p)); }
  static ULONG WINAPI Decrement(LONG* p) { return static_cast<ULONG>(::InterlockedDecrement(p)); }
  typedef CComAutoCriticalSection AutoCriticalSection;
  typedef CComCriticalSection CriticalSection;
  typedef CComMultiThreadModelNoCS ThreadModelNoCS;
};

// Class objects and module-wide data may be reached from any thread.
typedef CComMultiThreadModel CComGlobalsThreadModel;
typedef CComSingleThreadModel CComObjectThreadModel;

// Holds a critical section for a scope.
template <class TLock>
class CComCritSecLock {
 public:
  explicit CComCritSecLock(TLock& cs) : m_cs(cs) { m_cs.Lock(); }
  ~CComCritSecLock() { m_cs.Unlock(); }
  CComCritSecLock(const CComCritSecLock&) = delete;
  CComCritSecLock& operator=(const CComCritSecLock&) = delete;

 private:
  TLock& m_cs;
};

// ---- The object map ---------------------------------------------------------

typedef HRESULT(WINAPI _ATL_CREATORFUNC)(void* pv, REFIID riid, LPVOID* ppv);
typedef void(WINAPI _ATL_TERMFUNC)(DWORD_PTR dw);
typedef LPCSTR(WINAPI _ATL_DESCRIPTIONFUNC)();

// One creatable class of the module. pCF is the class object, made on the
// first request and kept until Term.
struct _ATL_OBJMAP_ENTRY {
  const CLSID* pclsid;
  HRESULT(WINAPI* pfnUpdateRegistry)(BOOL bRegister);
  _ATL_CREATORFUNC* pfnGetClassObject;
  _ATL_CREATORFUNC* pfnCreateInstance;
  IUnknown* pCF;
  DWORD dwRegister;
  _ATL_DESCRIPTIONFUNC* pfnGetObjectDescription;
};

// A replacement for the registry script besides %MODULE%: %szKey% becomes szData.
struct _ATL_REGMAP_ENTRY {
  LPCOLESTR szKey;
  LPCOLESTR szData;
};

// The object that a dialog being created on this thread belongs to.
struct _AtlCreateWndData {
  void* m_pThis;
  DWORD m_dwThreadID;
  _AtlCreateWndData* m_pNext;
};

// ---- The module -------------------------------------------------------------

class CComModule {
 public:
  CComModule();
  virtual ~CComModule();
  CComModule(const CComModule&) = delete;
  CComModule& operator=(const CComModule&) = delete;

  // plibid: the module's type library, also the default of IDispatchImpl.
  HRESULT Init(_ATL_OBJMAP_ENTRY* p, HINSTANCE h, const GUID* plibid = NULL);
  // Runs the functions given to AddTermFunc and releases the class objects.
  void Term();

  LONG Lock();
  LONG Unlock();
  LONG GetLockCount() const;

  HINSTANCE GetModuleInstance() const { return m_hInst; }
  HINSTANCE GetResourceInstance() const { return m_hInstResource; }
  HINSTANCE GetTypeLibInstance() const { return m_hInstTypeLib; }
  HINSTANCE SetResourceInstance(HINSTANCE h);

  // The class object of rclsid from the object map, made once under the
  // module's critical section. CLASS_E_CLASSNOTAVAILABLE for other classes.
  HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);

  // For every object-map entry (or the one of pCLSID): its registry script;
  // then, when asked, the type library carried by the module's file.
  HRESULT RegisterServer(BOOL bRegTypeLib = FALSE, const CLSID* pCLSID = NULL);
  // The registry scripts (unregistering), then, when asked, the type library.
  HRESULT UnregisterServer(BOOL bUnRegTypeLib, const CLSID* pCLSID = NULL);

  // Runs the REGISTRY resource nResID of the resource instance with
  // %MODULE% (and pMapEntries) replaced: registers or unregisters.
  HRESULT WINAPI UpdateRegistryFromResource(UINT nResID, BOOL bRegister, _ATL_REGMAP_ENTRY* pMapEntries = NULL);
  HRESULT WINAPI UpdateRegistryFromResourceD(UINT nResID, BOOL bRegister, _ATL_REGMAP_ENTRY* pMapEntries = NULL) {
    return UpdateRegistryFromResource(nResID, bRegister, pMapEntries);
  }

  // The module's type library: TYPELIB 1 of its file (or resource lpszIndex,
  // written "\\N"), else the file of the same name with ".tlb".
  HRESULT RegisterTypeLib(LPCOLESTR lpszIndex = NULL);
  HRESULT UnRegisterTypeLib(LPCOLESTR lpszIndex = NULL);

  // Functions run once by Term, last added first.
  HRESULT AddTermFunc(_ATL_TERMFUNC* pFunc, DWORD_PTR dw);

  // Window creation: the object whose dialog is about to be created on this
  // thread, taken back by the first message the dialog receives.
  void AddCreateWndData(_AtlCreateWndData* pData, void* pObject);
  void* ExtractCreateWndData();
  // Takes pData out again if no window took it (the dialog was never made).
  void RemoveCreateWndData(_AtlCreateWndData* pData);

  // The module's type library, as Init was given it.
  static GUID m_libid;

  HINSTANCE m_hInst = NULL;
  HINSTANCE m_hInstResource = NULL;
  HINSTANCE m_hInstTypeLib = NULL;
  _ATL_OBJMAP_ENTRY* m_pObjMap = NULL;
  LONG m_nLockCnt = 0;
  CComCriticalSection m_csObjMap;  // making class objects, loading type information
  CComCriticalSection m_csWindowCreate;

 private:
  struct TermFunc;
  TermFunc* m_pTermFuncs = NULL;
  _AtlCreateWndData* m_pCreateWndList = NULL;
  CComModule* m_pPrevious = NULL;
};

// The current module of this module (see above).
extern ATL_MODULE_LOCAL CComModule* _pAtlModule;

// Type library registration of a module's file; see CComModule::RegisterTypeLib.
HRESULT WINAPI AtlRegisterTypeLib(HINSTANCE hInstTypeLib, LPCOLESTR lpszIndex);
HRESULT WINAPI AtlUnRegisterTypeLib(HINSTANCE hInstTypeLib, LPCOLESTR lpszIndex);

// IID_IUnknown, compared without a call.
inline bool InlineIsEqualUnknown(REFGUID rguid) { return ::IsEqualGUID(rguid, IID_IUnknown); }

}  // namespace ATL

// ---- Object map and registry macros ------------------------------------------

// The map has external linkage, so the module's exports may declare it
// (extern ATL::_ATL_OBJMAP_ENTRY ObjectMap[];) in another file.
#define BEGIN_OBJECT_MAP(x) ATL::_ATL_OBJMAP_ENTRY x[] = {
#define OBJECT_ENTRY(clsid, class)                                                                       \
  {&clsid, class ::UpdateRegistry, class ::_ClassFactoryCreatorClass::CreateInstance,                    \
   class ::_CreatorClass::CreateInstance, NULL, 0, class ::GetObjectDescription},
#define END_OBJECT_MAP() {NULL, NULL, NULL, NULL, NULL, 0, NULL}};

#define DECLARE_REGISTRY_RESOURCEID(x)                                \
  static HRESULT WINAPI UpdateRegistry(BOOL bRegister) {              \
    return ATL::_pAtlModule->UpdateRegistryFromResource(x, bRegister); \
  }
#define DECLARE_NO_REGISTRY() \
  static HRESULT WINAPI UpdateRegistry(BOOL) { return S_OK; }

#ifndef _ATL_NO_AUTOMATIC_NAMESPACE
using namespace ATL;
#endif
