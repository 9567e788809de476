// Compiler COM support: the smart interface pointer _com_ptr_t, as the
// Windows SDK's comip.h defines it.
//
// On Windows the IID travels as a template argument, &__uuidof(I). Here
// __uuidof(I) is a function call, not an address constant, so _com_IIID
// takes only the interface and asks qzwin::uuid_of<I> for its IID, and
// _COM_SMARTPTR_TYPEDEF ignores its second argument:
// _COM_SMARTPTR_TYPEDEF(IFoo, __uuidof(IFoo)) reads the same on both.
#pragma once

#include <objbase.h>
#include <oleauto.h>
#include <winnls.h>

#include <cstddef>
#include <memory>
#include <type_traits>

#include <comutil.h>

template <typename _Interface>
class _com_IIID {
 public:
  typedef _Interface Interface;
  static const IID& GetIID() noexcept { return __uuidof(_Interface); }
};

#define _COM_SMARTPTR_TYPEDEF(Interface, IID) typedef _com_ptr_t<_com_IIID<Interface>> Interface##Ptr

// Holds one reference. Assigning a pointer of another interface type, or a
// smart pointer of another IID, asks that object for this IID: a refusal
// leaves the pointer null, any other failure raises.
template <typename _IIID>
class _com_ptr_t {
 public:
  typedef _IIID ThisIIID;
  typedef typename _IIID::Interface Interface;

  static const IID& GetIID() noexcept { return ThisIIID::GetIID(); }

  _com_ptr_t() noexcept : m_pInterface(nullptr) {}
  _com_ptr_t(std::nullptr_t) noexcept : m_pInterface(nullptr) {}
  // Only 0 (NULL) is accepted.
  _com_ptr_t(int null) : m_pInterface(nullptr) {
    if (null != 0) _com_issue_error(E_POINTER);
  }
  _com_ptr_t(const _com_ptr_t& cp) noexcept : m_pInterface(cp.m_pInterface) { _AddRef(); }
  _com_ptr_t(_com_ptr_t&& cp) noexcept : m_pInterface(cp.m_pInterface) { cp.m_pInterface = nullptr; }
  _com_ptr_t(Interface* pInterface) noexcept : m_pInterface(pInterface) { _AddRef(); }
  _com_ptr_t(Interface* pInterface, bool fAddRef) noexcept : m_pInterface(pInterface) {
    if (fAddRef) _AddRef();
  }
  template <typename _OtherIID>
  _com_ptr_t(const _com_ptr_t<_OtherIID>& p) : m_pInterface(nullptr) {
    RaiseUnlessRefused(_QueryInterface(p.GetInterfacePtr()));
  }
  template <typename _InterfaceType, std::enable_if_t<!std::is_same_v<_InterfaceType, Interface>, int> = 0>
  _com_ptr_t(_InterfaceType* p) : m_pInterface(nullptr) {
    RaiseUnlessRefused(_QueryInterface(p));
  }
  _com_ptr_t(const _variant_t& varSrc) : m_pInterface(nullptr) { RaiseUnlessRefused(QueryStdInterfaces(varSrc)); }
  explicit _com_ptr_t(const CLSID& clsid, IUnknown* pOuter = nullptr, DWORD dwClsContext = CLSCTX_ALL)
      : m_pInterface(nullptr) {
    RaiseUnlessRefused(CreateInstance(clsid, pOuter, dwClsContext));
  }
  explicit _com_ptr_t(LPCOLESTR str, IUnknown* pOuter = nullptr, DWORD dwClsContext = CLSCTX_ALL)
      : m_pInterface(nullptr) {
    RaiseUnlessRefused(CreateInstance(str, pOuter, dwClsContext));
  }
  explicit _com_ptr_t(LPCSTR str, IUnknown* pOuter = nullptr, DWORD dwClsContext = CLSCTX_ALL)
      : m_pInterface(nullptr) {
    RaiseUnlessRefused(CreateInstance(str, pOuter, dwClsContext));
  }
  ~_com_ptr_t() noexcept { _Release(); }

  _com_ptr_t& operator=(Interface* pInterface) noexcept {
    if (m_pInterface != pInterface) {
      Interface* old = m_pInterface;
      m_pInterface = pInterface;
      _AddRef();
      if (old != nullptr) old->Release();
    }
    return *this;
  }
  _com_ptr_t& operator=(const _com_ptr_t& cp) noexcept { return operator=(cp.m_pInterface); }
  _com_ptr_t& operator=(_com_ptr_t&& cp) noexcept {
    // operator& is the out-parameter form, which releases: take the address plainly.
    if (this != std::addressof(cp)) {
      _Release();
      m_pInterface = cp.m_pInterface;
      cp.m_pInterface = nullptr;
    }
    return *this;
  }
  template <typename _OtherIID>
  _com_ptr_t& operator=(const _com_ptr_t<_OtherIID>& p) {
    RaiseUnlessRefused(_QueryInterface(p.GetInterfacePtr()));
    return *this;
  }
  template <typename _InterfaceType, std::enable_if_t<!std::is_same_v<_InterfaceType, Interface>, int> = 0>
  _com_ptr_t& operator=(_InterfaceType* p) {
    RaiseUnlessRefused(_QueryInterface(p));
    return *this;
  }
  _com_ptr_t& operator=(int null) {
    if (null != 0) {
      _com_issue_error(E_POINTER);
      return *this;
    }
    return operator=(static_cast<Interface*>(nullptr));
  }
  _com_ptr_t& operator=(std::nullptr_t) noexcept { return operator=(static_cast<Interface*>(nullptr)); }
  _com_ptr_t& operator=(const _variant_t& varSrc) {
    RaiseUnlessRefused(QueryStdInterfaces(varSrc));
    return *this;
  }

  // Takes over a reference the caller owns.
  void Attach(Interface* pInterface) noexcept {
    _Release();
    m_pInterface = pInterface;
  }
  void Attach(Interface* pInterface, bool fAddRef) noexcept {
    _Release();
    m_pInterface = pInterface;
    if (fAddRef) _AddRef();
  }
  Interface* Detach() noexcept {
    Interface* p = m_pInterface;
    m_pInterface = nullptr;
    return p;
  }

  operator Interface*() const noexcept { return m_pInterface; }
  operator Interface&() const {
    if (m_pInterface == nullptr) _com_issue_error(E_POINTER);
    return *m_pInterface;
  }
  Interface& operator*() const {
    if (m_pInterface == nullptr) _com_issue_error(E_POINTER);
    return *m_pInterface;
  }
  // Releases what is held, then hands out the place for an [out] pointer.
  Interface** operator&() noexcept {
    _Release();
    m_pInterface = nullptr;
    return &m_pInterface;
  }
  Interface* operator->() const {
    if (m_pInterface == nullptr) _com_issue_error(E_POINTER);
    return m_pInterface;
  }
  explicit operator bool() const noexcept { return m_pInterface != nullptr; }

  // Two smart pointers are equal when they reach the same object.
  template <typename _OtherIID>
  bool operator==(const _com_ptr_t<_OtherIID>& p) const {
    return _CompareUnknown(p.GetInterfacePtr()) == 0;
  }
  template <typename _InterfaceType>
  bool operator==(_InterfaceType* p) const {
    return _CompareUnknown(p) == 0;
  }
  bool operator==(std::nullptr_t) const noexcept { return m_pInterface == nullptr; }
  bool operator==(int null) const {
    if (null != 0) _com_issue_error(E_POINTER);
    return m_pInterface == nullptr;
  }
  template <typename _OtherIID>
  bool operator!=(const _com_ptr_t<_OtherIID>& p) const {
    return !(*this == p);
  }
  template <typename _InterfaceType>
  bool operator!=(_InterfaceType* p) const {
    return !(*this == p);
  }
  bool operator!=(std::nullptr_t) const noexcept { return m_pInterface != nullptr; }
  bool operator!=(int null) const { return !(*this == null); }
  template <typename _OtherIID>
  bool operator<(const _com_ptr_t<_OtherIID>& p) const {
    return _CompareUnknown(p.GetInterfacePtr()) < 0;
  }

  // AddRef and Release of the held pointer; a null pointer raises E_POINTER.
  void AddRef() {
    if (m_pInterface == nullptr) {
      _com_issue_error(E_POINTER);
      return;
    }
    m_pInterface->AddRef();
  }
  void Release() {
    if (m_pInterface == nullptr) {
      _com_issue_error(E_POINTER);
      return;
    }
    m_pInterface->Release();
    m_pInterface = nullptr;
  }

  Interface* GetInterfacePtr() const noexcept { return m_pInterface; }
  Interface*& GetInterfacePtr() noexcept { return m_pInterface; }

  HRESULT CreateInstance(const CLSID& rclsid, IUnknown* pOuter = nullptr, DWORD dwClsContext = CLSCTX_ALL) noexcept {
    _Release();
    m_pInterface = nullptr;
    HRESULT hr = CoCreateInstance(rclsid, pOuter, dwClsContext, GetIID(), reinterpret_cast<void**>(&m_pInterface));
    if (FAILED(hr)) m_pInterface = nullptr;
    return hr;
  }
  // A CLSID in braces ("{...}") or a ProgID.
  HRESULT CreateInstance(LPCOLESTR clsidString, IUnknown* pOuter = nullptr,
                         DWORD dwClsContext = CLSCTX_ALL) noexcept {
    if (clsidString == nullptr) return E_INVALIDARG;
    CLSID clsid;
    HRESULT hr = clsidString[0] == u'{' ? CLSIDFromString(clsidString, &clsid) : CLSIDFromProgID(clsidString, &clsid);
    if (FAILED(hr)) return hr;
    return CreateInstance(clsid, pOuter, dwClsContext);
  }
  HRESULT CreateInstance(LPCSTR clsidStringA, IUnknown* pOuter = nullptr, DWORD dwClsContext = CLSCTX_ALL) noexcept {
    if (clsidStringA == nullptr) return E_INVALIDARG;
    const int length = MultiByteToWideChar(CP_ACP, 0, clsidStringA, -1, nullptr, 0);
    if (length <= 0) return E_INVALIDARG;
    BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (wide == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = E_INVALIDARG;
    if (MultiByteToWideChar(CP_ACP, 0, clsidStringA, -1, wide, length) > 0) {
      hr = CreateInstance(static_cast<LPCOLESTR>(wide), pOuter, dwClsContext);
    }
    SysFreeString(wide);
    return hr;
  }

  template <typename _InterfaceType>
  HRESULT QueryInterface(const IID& iid, _InterfaceType*& p) noexcept {
    if (m_pInterface == nullptr) return E_POINTER;
    return m_pInterface->QueryInterface(iid, reinterpret_cast<void**>(&p));
  }
  template <typename _InterfaceType>
  HRESULT QueryInterface(const IID& iid, _InterfaceType** p) noexcept {
    return QueryInterface(iid, *p);
  }

 private:
  void _AddRef() noexcept {
    if (m_pInterface != nullptr) m_pInterface->AddRef();
  }
  void _Release() noexcept {
    if (m_pInterface != nullptr) m_pInterface->Release();
  }

  static void RaiseUnlessRefused(HRESULT hr) {
    if (FAILED(hr) && hr != E_NOINTERFACE) _com_issue_error(hr);
  }

  // Replaces what is held with p's answer for this IID; null when p is null
  // or refuses.
  template <typename _InterfacePtr>
  HRESULT _QueryInterface(_InterfacePtr* p) noexcept {
    Interface* found = nullptr;
    HRESULT hr = E_NOINTERFACE;
    if (p != nullptr) {
      hr = p->QueryInterface(GetIID(), reinterpret_cast<void**>(&found));
      if (FAILED(hr)) found = nullptr;
    }
    Attach(found);
    return hr;
  }

  HRESULT QueryStdInterfaces(const _variant_t& varSrc) noexcept {
    if (varSrc.vt == VT_DISPATCH || varSrc.vt == VT_UNKNOWN) return _QueryInterface(varSrc.punkVal);
    VARIANT object;
    VariantInit(&object);
    HRESULT hr = VariantChangeType(&object, &varSrc, 0, VT_UNKNOWN);
    if (SUCCEEDED(hr)) {
      hr = _QueryInterface(object.punkVal);
    } else {
      Attach(nullptr);
    }
    VariantClear(&object);
    return hr;
  }

  // Orders by the objects' IUnknown identities.
  template <typename _InterfacePtr>
  int _CompareUnknown(_InterfacePtr* p) const {
    IUnknown* mine = nullptr;
    IUnknown* theirs = nullptr;
    if (m_pInterface != nullptr) m_pInterface->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&mine));
    if (p != nullptr) p->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&theirs));
    if (mine != nullptr) mine->Release();
    if (theirs != nullptr) theirs->Release();
    if (mine == theirs) return 0;
    return mine < theirs ? -1 : 1;
  }

  Interface* m_pInterface;
};
