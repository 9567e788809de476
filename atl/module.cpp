// CComModule: the module's lock count, its object map and class objects,
// its registry scripts, and the data that window creation hands over.
#include <new>
#include <string>
#include <vector>

#include "atlbase.h"
#include "statreg.h"

namespace ATL {

CComModule* _pAtlModule = NULL;
GUID CComModule::m_libid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

struct CComModule::TermFunc {
  _ATL_TERMFUNC* pFunc;
  DWORD_PTR dw;
  TermFunc* pNext;
};

CComModule::CComModule() : m_pPrevious(_pAtlModule) { _pAtlModule = this; }

CComModule::~CComModule() {
  Term();
  if (_pAtlModule == this) _pAtlModule = m_pPrevious;
}

HRESULT CComModule::Init(_ATL_OBJMAP_ENTRY* p, HINSTANCE h, const GUID* plibid) {
  m_pObjMap = p;
  m_hInst = m_hInstResource = m_hInstTypeLib = h;
  if (plibid != NULL) m_libid = *plibid;
  return S_OK;
}

void CComModule::Term() {
  while (m_pTermFuncs != NULL) {
    TermFunc* func = m_pTermFuncs;
    m_pTermFuncs = func->pNext;
    func->pFunc(func->dw);
    delete func;
  }
  for (_ATL_OBJMAP_ENTRY* entry = m_pObjMap; entry != NULL && entry->pclsid != NULL; ++entry) {
    if (entry->pCF != NULL) entry->pCF->Release();
    entry->pCF = NULL;
  }
}

LONG CComModule::Lock() { return ::InterlockedIncrement(&m_nLockCnt); }

LONG CComModule::Unlock() { return ::InterlockedDecrement(&m_nLockCnt); }

LONG CComModule::GetLockCount() const { return m_nLockCnt; }

HINSTANCE CComModule::SetResourceInstance(HINSTANCE h) {
  HINSTANCE previous = m_hInstResource;
  m_hInstResource = h;
  return previous;
}

HRESULT CComModule::GetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv == NULL) return E_POINTER;
  *ppv = NULL;
  for (_ATL_OBJMAP_ENTRY* entry = m_pObjMap; entry != NULL && entry->pclsid != NULL; ++entry) {
    if (!::IsEqualCLSID(rclsid, *entry->pclsid)) continue;
    HRESULT hr = S_OK;
    if (entry->pCF == NULL) {
      CComCritSecLock<CComCriticalSection> lock(m_csObjMap);
      if (entry->pCF == NULL) {
        hr = entry->pfnGetClassObject(reinterpret_cast<void*>(entry->pfnCreateInstance), IID_IUnknown,
                                      reinterpret_cast<LPVOID*>(&entry->pCF));
      }
    }
    if (entry->pCF != NULL) hr = entry->pCF->QueryInterface(riid, ppv);
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CComModule::AddTermFunc(_ATL_TERMFUNC* pFunc, DWORD_PTR dw) {
  TermFunc* func = new (std::nothrow) TermFunc{pFunc, dw, NULL};
  if (func == NULL) return E_OUTOFMEMORY;
  CComCritSecLock<CComCriticalSection> lock(m_csObjMap);
  func->pNext = m_pTermFuncs;
  m_pTermFuncs = func;
  return S_OK;
}

void CComModule::AddCreateWndData(_AtlCreateWndData* pData, void* pObject) {
  pData->m_pThis = pObject;
  pData->m_dwThreadID = ::GetCurrentThreadId();
  CComCritSecLock<CComCriticalSection> lock(m_csWindowCreate);
  pData->m_pNext = m_pCreateWndList;
  m_pCreateWndList = pData;
}

void* CComModule::ExtractCreateWndData() {
  DWORD thread = ::GetCurrentThreadId();
  CComCritSecLock<CComCriticalSection> lock(m_csWindowCreate);
  for (_AtlCreateWndData** link = &m_pCreateWndList; *link != NULL; link = &(*link)->m_pNext) {
    if ((*link)->m_dwThreadID == thread) {
      _AtlCreateWndData* found = *link;
      *link = found->m_pNext;
      return found->m_pThis;
    }
  }
  return NULL;
}

void CComModule::RemoveCreateWndData(_AtlCreateWndData* pData) {
  CComCritSecLock<CComCriticalSection> lock(m_csWindowCreate);
  for (_AtlCreateWndData** link = &m_pCreateWndList; *link != NULL; link = &(*link)->m_pNext) {
    if (*link == pData) {
      *link = pData->m_pNext;
      return;
    }
  }
}

namespace {

// Narrow text in the system code page.
std::string Narrow(LPCOLESTR text) {
  if (text == NULL) return std::string();
  int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);
  if (size <= 0) return std::string();
  std::string narrow(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], size, NULL, NULL);
  narrow.resize(static_cast<size_t>(size) - 1);
  return narrow;
}

// The path as a registry script quotes it: every ' doubled.
std::string DoubledQuotes(const char* text) {
  std::string quoted;
  for (const char* c = text; *c != '\0'; ++c) {
    quoted.push_back(*c);
    if (*c == '\'') quoted.push_back('\'');
  }
  return quoted;
}

}  // namespace

HRESULT WINAPI CComModule::UpdateRegistryFromResource(UINT nResID, BOOL bRegister, _ATL_REGMAP_ENTRY* pMapEntries) {
  char path[MAX_PATH];
  DWORD length = ::GetModuleFileNameA(m_hInst, path, MAX_PATH);
  if (length == 0) return HRESULT_FROM_WIN32(::GetLastError());
  if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

  CRegObject registrar;
  registrar.AddReplacement("MODULE", DoubledQuotes(path).c_str());
  registrar.AddReplacement("MODULE_RAW", path);
  for (_ATL_REGMAP_ENTRY* entry = pMapEntries; entry != NULL && entry->szKey != NULL; ++entry) {
    registrar.AddReplacement(Narrow(entry->szKey).c_str(), Narrow(entry->szData).c_str());
  }
  return bRegister ? registrar.ResourceRegister(m_hInstResource, nResID, "REGISTRY")
                   : registrar.ResourceUnregister(m_hInstResource, nResID, "REGISTRY");
}

}  // namespace ATL
