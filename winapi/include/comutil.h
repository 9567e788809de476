// Compiler COM support: _bstr_t and _variant_t, as the Windows SDK's
// comutil.h defines them, with OLECHAR (char16_t here) where the SDK has
// wchar_t. Failures are raised through _com_issue_error, which throws
// _com_error (comdef.h).
//
// Differences of this platform: LONG is int and LONGLONG is long, so
// _variant_t(5) is VT_I4 and _variant_t(5L) is VT_I8 (VT_INT and VT_I4 on
// Windows); and _variant_t has no conversion operator to _bstr_t (it would
// make `_bstr_t s = v;` ambiguous here), use the _bstr_t(const _variant_t&)
// constructor, which the same code reaches on Windows.
#pragma once

#include <oleauto.h>
#include <winnls.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <new>

class _com_error;

void STDAPICALLTYPE _com_issue_error(HRESULT hr);
void STDAPICALLTYPE _com_issue_errorex(HRESULT hr, IUnknown* punk, REFIID riid);

namespace _com_util {
// A new BSTR from narrow text in the system code page; null gives null.
BSTR STDAPICALLTYPE ConvertStringToBSTR(const char* pSrc);
// New narrow text (free with delete[]) from a BSTR; null gives null.
char* STDAPICALLTYPE ConvertBSTRToString(BSTR pSrc);
}  // namespace _com_util

class _variant_t;

// A shared, reference-counted BSTR. Copies share one string; the narrow
// form is made on first use and kept with it.
class _bstr_t {
 public:
  _bstr_t() noexcept : m_Data(nullptr) {}
  _bstr_t(const _bstr_t& s) noexcept : m_Data(s.m_Data) { _AddRef(); }
  _bstr_t(_bstr_t&& s) noexcept : m_Data(s.m_Data) { s.m_Data = nullptr; }
  _bstr_t(const char* s) : m_Data(Make(s)) {}
  _bstr_t(const OLECHAR* s) : m_Data(Make(s)) {}
  _bstr_t(const _variant_t& var);
  _bstr_t(BSTR bstr, bool fCopy) : m_Data(Make(bstr, fCopy)) {}
  ~_bstr_t() noexcept { _Free(); }

  _bstr_t& operator=(const _bstr_t& s) noexcept {
    if (m_Data != s.m_Data) {
      _Free();
      m_Data = s.m_Data;
      _AddRef();
    }
    return *this;
  }
  _bstr_t& operator=(_bstr_t&& s) noexcept {
    if (this != &s) {
      _Free();
      m_Data = s.m_Data;
      s.m_Data = nullptr;
    }
    return *this;
  }
  _bstr_t& operator=(const char* s) { return *this = _bstr_t(s); }
  _bstr_t& operator=(const OLECHAR* s) { return *this = _bstr_t(s); }
  _bstr_t& operator=(const _variant_t& var);

  _bstr_t& operator+=(const _bstr_t& s) { return *this = *this + s; }
  _bstr_t operator+(const _bstr_t& s) const {
    _bstr_t result;
    result.m_Data = Concat(*this, s);
    return result;
  }
  friend _bstr_t operator+(const char* s1, const _bstr_t& s2) { return _bstr_t(s1) + s2; }
  friend _bstr_t operator+(const OLECHAR* s1, const _bstr_t& s2) { return _bstr_t(s1) + s2; }

  operator const OLECHAR*() const noexcept { return m_Data != nullptr ? m_Data->m_wstr : nullptr; }
  operator OLECHAR*() const noexcept { return m_Data != nullptr ? m_Data->m_wstr : nullptr; }
  operator const char*() const { return m_Data != nullptr ? m_Data->GetString() : nullptr; }
  operator char*() const { return m_Data != nullptr ? m_Data->GetString() : nullptr; }

  // True when there is no string at all (a null BSTR).
  bool operator!() const noexcept { return m_Data == nullptr || m_Data->m_wstr == nullptr; }

  // Ordinal comparison of the UTF-16 units; a null string equals "".
  bool operator==(const _bstr_t& s) const noexcept { return _Compare(s) == 0; }
  bool operator!=(const _bstr_t& s) const noexcept { return _Compare(s) != 0; }
  bool operator<(const _bstr_t& s) const noexcept { return _Compare(s) < 0; }
  bool operator>(const _bstr_t& s) const noexcept { return _Compare(s) > 0; }
  bool operator<=(const _bstr_t& s) const noexcept { return _Compare(s) <= 0; }
  bool operator>=(const _bstr_t& s) const noexcept { return _Compare(s) >= 0; }
  bool operator==(const OLECHAR* s) const { return _Compare(_bstr_t(s)) == 0; }
  bool operator!=(const OLECHAR* s) const { return _Compare(_bstr_t(s)) != 0; }
  bool operator==(const char* s) const { return _Compare(_bstr_t(s)) == 0; }
  bool operator!=(const char* s) const { return _Compare(_bstr_t(s)) != 0; }
  bool operator==(std::nullptr_t) const noexcept { return length() == 0; }
  bool operator!=(std::nullptr_t) const noexcept { return length() != 0; }

  // A new BSTR with the same bytes (fCopy), or the shared one itself.
  BSTR copy(bool fCopy = true) const {
    BSTR s = m_Data != nullptr ? m_Data->m_wstr : nullptr;
    if (!fCopy || s == nullptr) return s;
    BSTR result = SysAllocStringByteLen(reinterpret_cast<const char*>(s), SysStringByteLen(s));
    if (result == nullptr) _com_issue_error(E_OUTOFMEMORY);
    return result;
  }
  unsigned int length() const noexcept { return m_Data != nullptr ? SysStringLen(m_Data->m_wstr) : 0; }

  void Assign(BSTR s) {
    if (m_Data == nullptr || m_Data->m_wstr != s) *this = _bstr_t(s, true);
  }
  // Takes ownership of s.
  void Attach(BSTR s) { *this = _bstr_t(s, false); }
  // Hands out the BSTR and leaves this empty; the string must not be shared.
  BSTR Detach() {
    if (m_Data == nullptr || m_Data->m_RefCount != 1) {
      _com_issue_error(E_POINTER);
      return nullptr;
    }
    BSTR s = m_Data->m_wstr;
    m_Data->m_wstr = nullptr;
    m_Data->FreeNarrow();
    return s;
  }
  // The BSTR itself, for the caller to read or replace; the narrow form
  // is made again on next use.
  BSTR& GetBSTR() {
    if (m_Data == nullptr) m_Data = Make(static_cast<BSTR>(nullptr), false);
    m_Data->FreeNarrow();
    return m_Data->m_wstr;
  }
  // Frees the string and hands out the place for a new one (an [out] BSTR).
  BSTR* GetAddress() {
    Attach(nullptr);
    return &m_Data->m_wstr;
  }

 private:
  struct Data_t {
    BSTR m_wstr = nullptr;
    mutable char* m_str = nullptr;
    std::atomic<unsigned long> m_RefCount{1};

    char* GetString() const {
      if (m_str == nullptr) m_str = _com_util::ConvertBSTRToString(m_wstr);
      return m_str;
    }
    void FreeNarrow() {
      delete[] m_str;
      m_str = nullptr;
    }
    ~Data_t() {
      SysFreeString(m_wstr);
      delete[] m_str;
    }
  };

  static Data_t* NewData(BSTR owned) {
    auto* data = new (std::nothrow) Data_t;
    if (data == nullptr) {
      SysFreeString(owned);
      _com_issue_error(E_OUTOFMEMORY);
      return nullptr;
    }
    data->m_wstr = owned;
    return data;
  }
  static Data_t* Make(const char* s) { return NewData(_com_util::ConvertStringToBSTR(s)); }
  static Data_t* Make(const OLECHAR* s) {
    BSTR copy = SysAllocString(s);
    if (copy == nullptr && s != nullptr) _com_issue_error(E_OUTOFMEMORY);
    return NewData(copy);
  }
  static Data_t* Make(BSTR s, bool fCopy) {
    if (!fCopy || s == nullptr) return NewData(s);
    BSTR copy = SysAllocStringByteLen(reinterpret_cast<const char*>(s), SysStringByteLen(s));
    if (copy == nullptr) _com_issue_error(E_OUTOFMEMORY);
    return NewData(copy);
  }
  static Data_t* Concat(const _bstr_t& a, const _bstr_t& b) {
    const BSTR s1 = a;
    const BSTR s2 = b;
    if (s1 == nullptr && s2 == nullptr) return NewData(nullptr);
    const UINT n1 = SysStringLen(s1);
    const UINT n2 = SysStringLen(s2);
    BSTR joined = SysAllocStringLen(nullptr, n1 + n2);
    if (joined == nullptr) {
      _com_issue_error(E_OUTOFMEMORY);
      return nullptr;
    }
    if (n1 != 0) std::memcpy(joined, s1, n1 * sizeof(OLECHAR));
    if (n2 != 0) std::memcpy(joined + n1, s2, n2 * sizeof(OLECHAR));
    return NewData(joined);
  }

  void _AddRef() noexcept {
    if (m_Data != nullptr) ++m_Data->m_RefCount;
  }
  void _Free() noexcept {
    if (m_Data != nullptr && --m_Data->m_RefCount == 0) delete m_Data;
    m_Data = nullptr;
  }
  int _Compare(const _bstr_t& s) const noexcept {
    const OLECHAR* p1 = *this;
    const OLECHAR* p2 = s;
    const unsigned int n1 = length();
    const unsigned int n2 = s.length();
    for (unsigned int i = 0; i < n1 && i < n2; ++i) {
      if (p1[i] != p2[i]) return p1[i] < p2[i] ? -1 : 1;
    }
    return n1 < n2 ? -1 : n1 > n2 ? 1 : 0;
  }

  Data_t* m_Data;
};

// A VARIANT that clears itself; extractors convert with VariantChangeType
// and raise its failure.
class _variant_t : public tagVARIANT {
 public:
  _variant_t() noexcept { VariantInit(this); }
  _variant_t(const VARIANT& varSrc) {
    VariantInit(this);
    Check(VariantCopy(this, &varSrc));
  }
  _variant_t(const VARIANT* pSrc) {
    VariantInit(this);
    if (pSrc == nullptr) {
      _com_issue_error(E_POINTER);
      return;
    }
    Check(VariantCopy(this, pSrc));
  }
  _variant_t(const _variant_t& varSrc) : _variant_t(static_cast<const VARIANT&>(varSrc)) {}
  // Takes over varSrc without a copy when fCopy is false, leaving it empty.
  _variant_t(VARIANT& varSrc, bool fCopy) {
    VariantInit(this);
    if (fCopy) {
      Check(VariantCopy(this, &varSrc));
    } else {
      Take(varSrc);
    }
  }
  _variant_t(short sSrc, VARTYPE vtSrc = VT_I2) {
    VariantInit(this);
    if (vtSrc == VT_BOOL) {
      vt = VT_BOOL;
      boolVal = sSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (vtSrc == VT_I2) {
      vt = VT_I2;
      iVal = sSrc;
    } else {
      _com_issue_error(E_INVALIDARG);
    }
  }
  _variant_t(LONG lSrc, VARTYPE vtSrc = VT_I4) {
    VariantInit(this);
    if (vtSrc == VT_I4 || vtSrc == VT_INT) {
      vt = vtSrc;
      lVal = lSrc;
    } else if (vtSrc == VT_ERROR) {
      vt = VT_ERROR;
      scode = lSrc;
    } else if (vtSrc == VT_BOOL) {
      vt = VT_BOOL;
      boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
      _com_issue_error(E_INVALIDARG);
    }
  }
  _variant_t(float fltSrc) noexcept {
    vt = VT_R4;
    fltVal = fltSrc;
  }
  _variant_t(double dblSrc, VARTYPE vtSrc = VT_R8) {
    VariantInit(this);
    if (vtSrc != VT_R8 && vtSrc != VT_DATE) {
      _com_issue_error(E_INVALIDARG);
      return;
    }
    vt = vtSrc;
    dblVal = dblSrc;
  }
  _variant_t(const CY& cySrc) noexcept {
    vt = VT_CY;
    cyVal = cySrc;
  }
  _variant_t(const _bstr_t& bstrSrc) {
    VariantInit(this);
    bstrVal = bstrSrc.copy();
    vt = VT_BSTR;
  }
  _variant_t(const OLECHAR* pSrc) {
    VariantInit(this);
    bstrVal = SysAllocString(pSrc);
    if (bstrVal == nullptr && pSrc != nullptr) _com_issue_error(E_OUTOFMEMORY);
    vt = VT_BSTR;
  }
  _variant_t(const char* pSrc) {
    VariantInit(this);
    bstrVal = _com_util::ConvertStringToBSTR(pSrc);
    vt = VT_BSTR;
  }
  _variant_t(IDispatch* pSrc, bool fAddRef = true) noexcept {
    vt = VT_DISPATCH;
    pdispVal = pSrc;
    if (fAddRef && pSrc != nullptr) pSrc->AddRef();
  }
  _variant_t(IUnknown* pSrc, bool fAddRef = true) noexcept {
    vt = VT_UNKNOWN;
    punkVal = pSrc;
    if (fAddRef && pSrc != nullptr) pSrc->AddRef();
  }
  _variant_t(bool boolSrc) noexcept {
    vt = VT_BOOL;
    boolVal = boolSrc ? VARIANT_TRUE : VARIANT_FALSE;
  }
  _variant_t(const DECIMAL& decSrc) noexcept {
    decVal = decSrc;
    vt = VT_DECIMAL;
  }
  _variant_t(BYTE bSrc) noexcept {
    vt = VT_UI1;
    bVal = bSrc;
  }
  _variant_t(char cSrc) noexcept {
    vt = VT_I1;
    cVal = cSrc;
  }
  _variant_t(USHORT usSrc) noexcept {
    vt = VT_UI2;
    uiVal = usSrc;
  }
  _variant_t(ULONG ulSrc) noexcept {
    vt = VT_UI4;
    ulVal = ulSrc;
  }
  _variant_t(LONGLONG llSrc) noexcept {
    vt = VT_I8;
    llVal = llSrc;
  }
  _variant_t(ULONGLONG ullSrc) noexcept {
    vt = VT_UI8;
    ullVal = ullSrc;
  }
  ~_variant_t() noexcept { VariantClear(this); }

  // Extractors: the value converted to the asked type.
  operator short() const { return vt == VT_I2 ? iVal : Converted(VT_I2).iVal; }
  operator LONG() const { return vt == VT_I4 ? lVal : Converted(VT_I4).lVal; }
  operator float() const { return vt == VT_R4 ? fltVal : Converted(VT_R4).fltVal; }
  operator double() const { return vt == VT_R8 ? dblVal : Converted(VT_R8).dblVal; }
  operator bool() const { return (vt == VT_BOOL ? boolVal : Converted(VT_BOOL).boolVal) != VARIANT_FALSE; }
  operator BYTE() const { return vt == VT_UI1 ? bVal : Converted(VT_UI1).bVal; }
  operator char() const { return vt == VT_I1 ? cVal : Converted(VT_I1).cVal; }
  operator USHORT() const { return vt == VT_UI2 ? uiVal : Converted(VT_UI2).uiVal; }
  operator ULONG() const { return vt == VT_UI4 ? ulVal : Converted(VT_UI4).ulVal; }
  operator LONGLONG() const { return vt == VT_I8 ? llVal : Converted(VT_I8).llVal; }
  operator ULONGLONG() const { return vt == VT_UI8 ? ullVal : Converted(VT_UI8).ullVal; }
  // The interface with a new reference for the caller.
  operator IDispatch*() const { return Interface<IDispatch>(VT_DISPATCH); }
  operator IUnknown*() const { return Interface<IUnknown>(VT_UNKNOWN); }

  _variant_t& operator=(const VARIANT& varSrc) {
    Check(VariantCopy(this, &varSrc));
    return *this;
  }
  _variant_t& operator=(const VARIANT* pSrc) {
    if (pSrc == nullptr) {
      _com_issue_error(E_POINTER);
      return *this;
    }
    return *this = *pSrc;
  }
  _variant_t& operator=(const _variant_t& varSrc) { return *this = static_cast<const VARIANT&>(varSrc); }
  _variant_t& operator=(short sSrc) { return Replace(_variant_t(sSrc)); }
  _variant_t& operator=(LONG lSrc) { return Replace(_variant_t(lSrc)); }
  _variant_t& operator=(float fltSrc) { return Replace(_variant_t(fltSrc)); }
  _variant_t& operator=(double dblSrc) { return Replace(_variant_t(dblSrc)); }
  _variant_t& operator=(const CY& cySrc) { return Replace(_variant_t(cySrc)); }
  _variant_t& operator=(const _bstr_t& bstrSrc) { return Replace(_variant_t(bstrSrc)); }
  _variant_t& operator=(const OLECHAR* pSrc) { return Replace(_variant_t(pSrc)); }
  _variant_t& operator=(const char* pSrc) { return Replace(_variant_t(pSrc)); }
  _variant_t& operator=(IDispatch* pSrc) { return Replace(_variant_t(pSrc)); }
  _variant_t& operator=(IUnknown* pSrc) { return Replace(_variant_t(pSrc)); }
  _variant_t& operator=(bool boolSrc) { return Replace(_variant_t(boolSrc)); }
  _variant_t& operator=(const DECIMAL& decSrc) { return Replace(_variant_t(decSrc)); }
  _variant_t& operator=(BYTE bSrc) { return Replace(_variant_t(bSrc)); }
  _variant_t& operator=(char cSrc) { return Replace(_variant_t(cSrc)); }
  _variant_t& operator=(USHORT usSrc) { return Replace(_variant_t(usSrc)); }
  _variant_t& operator=(ULONG ulSrc) { return Replace(_variant_t(ulSrc)); }
  _variant_t& operator=(LONGLONG llSrc) { return Replace(_variant_t(llSrc)); }
  _variant_t& operator=(ULONGLONG ullSrc) { return Replace(_variant_t(ullSrc)); }

  // Same type and same value; strings by their bytes, interfaces by pointer.
  bool operator==(const _variant_t& varSrc) const noexcept { return Equal(*this, varSrc); }
  bool operator!=(const _variant_t& varSrc) const noexcept { return !Equal(*this, varSrc); }
  bool operator==(const VARIANT& varSrc) const noexcept { return Equal(*this, varSrc); }
  bool operator!=(const VARIANT& varSrc) const noexcept { return !Equal(*this, varSrc); }
  bool operator==(const VARIANT* pSrc) const noexcept { return pSrc != nullptr && Equal(*this, *pSrc); }
  bool operator!=(const VARIANT* pSrc) const noexcept { return !(*this == pSrc); }

  void Clear() { Check(VariantClear(this)); }
  void Attach(VARIANT& varSrc) {
    Clear();
    Take(varSrc);
  }
  VARIANT Detach() noexcept {
    VARIANT out = *this;
    vt = VT_EMPTY;
    return out;
  }
  VARIANT& GetVARIANT() noexcept { return *this; }
  VARIANT* GetAddress() {
    Clear();
    return this;
  }
  void ChangeType(VARTYPE vartype, const _variant_t* pSrc = nullptr) {
    if (pSrc == nullptr) pSrc = this;
    if (pSrc != this || vartype != vt) Check(VariantChangeType(this, pSrc, 0, vartype));
  }
  void SetString(const char* pSrc) { *this = pSrc; }

 private:
  static void Check(HRESULT hr) {
    if (FAILED(hr)) _com_issue_error(hr);
  }
  void Take(VARIANT& varSrc) noexcept {
    std::memcpy(static_cast<VARIANT*>(this), &varSrc, sizeof(VARIANT));
    varSrc.vt = VT_EMPTY;
  }
  _variant_t& Replace(_variant_t&& fresh) {
    Clear();
    Take(fresh);
    return *this;
  }
  _variant_t Converted(VARTYPE target) const {
    _variant_t result;
    Check(VariantChangeType(&result, this, 0, target));
    return result;
  }
  template <class I>
  I* Interface(VARTYPE target) const {
    I* p = vt == target ? static_cast<I*>(punkVal) : static_cast<I*>(Converted(target).punkVal);
    if (p != nullptr) p->AddRef();
    return p;
  }
  static bool Equal(const VARIANT& a, const VARIANT& b) noexcept {
    if (a.vt != b.vt) return false;
    switch (a.vt & VT_TYPEMASK) {
      case VT_EMPTY:
      case VT_NULL:
        return (a.vt & VT_BYREF) == 0 || a.byref == b.byref;
      default:
        break;
    }
    if ((a.vt & VT_BYREF) != 0) return a.byref == b.byref;
    switch (a.vt) {
      case VT_BSTR: {
        const UINT n = SysStringByteLen(a.bstrVal);
        return n == SysStringByteLen(b.bstrVal) && (n == 0 || std::memcmp(a.bstrVal, b.bstrVal, n) == 0);
      }
      case VT_DISPATCH:
      case VT_UNKNOWN:
        return a.punkVal == b.punkVal;
      case VT_I1:
      case VT_UI1:
        return a.bVal == b.bVal;
      case VT_I2:
      case VT_UI2:
      case VT_BOOL:
        return a.iVal == b.iVal;
      case VT_I4:
      case VT_UI4:
      case VT_INT:
      case VT_UINT:
      case VT_ERROR:
        return a.lVal == b.lVal;
      case VT_R4:
        return a.fltVal == b.fltVal;
      case VT_R8:
      case VT_DATE:
        return a.dblVal == b.dblVal;
      case VT_I8:
      case VT_UI8:
      case VT_CY:
        return a.llVal == b.llVal;
      case VT_DECIMAL:
        return std::memcmp(&a.decVal, &b.decVal, sizeof(DECIMAL)) == 0;
      default:
        return false;
    }
  }
};

// _bstr_t members that need _variant_t.
inline _bstr_t::_bstr_t(const _variant_t& var) : m_Data(nullptr) {
  if (var.vt == VT_BSTR) {
    m_Data = Make(var.bstrVal, true);
    return;
  }
  _variant_t text;
  text.ChangeType(VT_BSTR, &var);
  m_Data = Make(text.bstrVal, true);
}

inline _bstr_t& _bstr_t::operator=(const _variant_t& var) { return *this = _bstr_t(var); }
