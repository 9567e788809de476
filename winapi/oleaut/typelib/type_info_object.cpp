#include "type_info_object.h"

#include "../type_info_invoke.h"
#include "descriptions.h"
#include "text.h"

#include <comdef.h>

namespace qzwin::typelib {
namespace {

// IUnknown and IDispatch: the vtable of every dispatch interface.
constexpr WORD kDispatchVtableFunctions = 7;
// How deep interfaces may derive from each other before a library counts as
// looping back on itself.
constexpr int kMaxInheritanceDepth = 32;


// Finds the function or variable `memid` among a type's own members.
const FuncData* FindFunc(const TypeData& type, MEMBERID memid) {
  for (const FuncData& func : type.funcs) {
    if (func.memid == memid) return &func;
  }
  return nullptr;
}
const VarData* FindVar(const TypeData& type, MEMBERID memid) {
  for (const VarData& var : type.vars) {
    if (var.memid == memid) return &var;
  }
  return nullptr;
}

// The description of function `index` counted over the whole vtable of
// `info`: inherited functions first, from the root interface down.
HRESULT FlatFuncDesc(ITypeInfo* info, UINT index, FUNCDESC** desc) {
  BaseLookup lookup;
  if (lookup.TooDeep()) return TYPE_E_ELEMENTNOTFOUND;
  TYPEATTR* attr = nullptr;
  HRESULT hr = info->GetTypeAttr(&attr);
  if (FAILED(hr)) return hr;
  UINT total = attr->cbSizeVft / sizeof(void*);
  UINT own = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  UINT inherited = total > own ? total - own : 0;
  if (index >= inherited) {
    FUNCDESC* found = nullptr;
    hr = info->GetFuncDesc(index - inherited, &found);
    if (FAILED(hr)) return hr;
    *desc = CopyFuncDesc(*found, info);
    info->ReleaseFuncDesc(found);
    return S_OK;
  }
  HREFTYPE href = 0;
  ITypeInfo* base = nullptr;
  hr = info->GetRefTypeOfImplType(0, &href);
  if (SUCCEEDED(hr)) hr = info->GetRefTypeInfo(href, &base);
  if (FAILED(hr)) return hr;
  hr = FlatFuncDesc(base, index, desc);
  base->Release();
  return hr;
}

}  // namespace

thread_local int BaseLookup::depth_ = 0;

bool BaseLookup::TooDeep() const { return depth_ > kMaxInheritanceDepth; }

TypeInfoObject::TypeInfoObject(TypeLibObject* lib, UINT index, TypeView view) : lib_(lib), index_(index), view_(view) {
  lib_->AddRef();
}

TypeInfoObject::~TypeInfoObject() { lib_->Release(); }

const TypeData& TypeInfoObject::type() const { return lib_->data().types[index_]; }

TYPEKIND TypeInfoObject::Kind() const { return view_ == TypeView::DualInterface ? TKIND_INTERFACE : type().kind; }

bool TypeInfoObject::IsDispatchViewOfDual() const { return view_ == TypeView::Stored && type().IsDual(); }

HRESULT TypeInfoObject::BaseForLookup(const BaseLookup& lookup, ITypeInfo** base) {
  *base = nullptr;
  if (lookup.TooDeep()) return TYPE_E_ELEMENTNOTFOUND;
  bool derives = Kind() == TKIND_INTERFACE || IsDispatchViewOfDual();
  if (!derives || type().implTypes.empty()) return S_FALSE;
  return lib_->ResolveHref(type().implTypes[0].href, true, base);
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetTypeAttr(TYPEATTR** ppTypeAttr) {
  if (ppTypeAttr == nullptr) return E_INVALIDARG;
  const TypeData& t = type();
  auto* attr = new TYPEATTR{};
  attr->guid = t.guid;
  attr->lcid = lib_->data().lcid;
  attr->memidConstructor = MEMBERID_NIL;
  attr->memidDestructor = MEMBERID_NIL;
  attr->typekind = Kind();
  attr->cFuncs = static_cast<WORD>(t.funcs.size());
  attr->cVars = static_cast<WORD>(t.vars.size());
  attr->cImplTypes = static_cast<WORD>(t.implTypes.size());
  attr->cbSizeVft = t.vtableSize;
  attr->cbAlignment = t.alignment;
  attr->wTypeFlags = t.flags;
  attr->wMajorVerNum = t.majorVersion;
  attr->wMinorVerNum = t.minorVersion;
  attr->tdescAlias = t.aliasType;
  attr->cbSizeInstance = t.instanceSize;
  switch (Kind()) {
    case TKIND_DISPATCH:
      // Every dispatch interface derives from IDispatch and has its vtable.
      if (IsDispatchViewOfDual()) attr->cFuncs = t.vtableFunctions;
      attr->cImplTypes = lib_->data().hasDispatchHref ? 1 : 0;
      attr->cbSizeVft = kDispatchVtableFunctions * sizeof(void*);
      attr->wTypeFlags &= static_cast<WORD>(~TYPEFLAG_FOLEAUTOMATION);
      attr->cbSizeInstance = sizeof(void*);
      break;
    case TKIND_INTERFACE:
    case TKIND_COCLASS:
      attr->cbSizeInstance = sizeof(void*);
      break;
    default:
      break;
  }
  *ppTypeAttr = attr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetTypeComp(ITypeComp** ppTComp) {
  if (ppTComp != nullptr) *ppTComp = nullptr;
  return E_NOTIMPL;
}

HRESULT TypeInfoObject::InheritedFuncDesc(UINT index, FUNCDESC** desc) {
  BaseLookup lookup;
  ITypeInfo* base = nullptr;
  HRESULT hr = BaseForLookup(lookup, &base);
  if (hr != S_OK) return FAILED(hr) ? hr : TYPE_E_ELEMENTNOTFOUND;
  hr = FlatFuncDesc(base, index, desc);
  base->Release();
  return hr;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) {
  if (ppFuncDesc == nullptr) return E_INVALIDARG;
  *ppFuncDesc = nullptr;
  const TypeData& t = type();
  if (!IsDispatchViewOfDual()) {
    if (index >= t.funcs.size()) return TYPE_E_ELEMENTNOTFOUND;
    *ppFuncDesc = NewFuncDesc(t.funcs[index]);
    return S_OK;
  }
  // The dispatch view lists the whole vtable, inherited functions first.
  UINT total = t.vtableFunctions;
  UINT own = static_cast<UINT>(t.funcs.size());
  UINT inherited = total > own ? total - own : 0;
  if (index >= inherited + own) return TYPE_E_ELEMENTNOTFOUND;
  if (index >= inherited) {
    *ppFuncDesc = NewFuncDesc(t.funcs[index - inherited]);
  } else {
    HRESULT hr = InheritedFuncDesc(index, ppFuncDesc);
    if (FAILED(hr)) return hr;
  }
  ToDispatchForm(*ppFuncDesc);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetVarDesc(UINT index, VARDESC** ppVarDesc) {
  if (ppVarDesc == nullptr) return E_INVALIDARG;
  *ppVarDesc = nullptr;
  if (index >= type().vars.size()) return TYPE_E_ELEMENTNOTFOUND;
  *ppVarDesc = NewVarDesc(type().vars[index]);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) {
  if (pcNames == nullptr || (rgBstrNames == nullptr && cMaxNames > 0)) return E_INVALIDARG;
  *pcNames = 0;
  std::vector<const std::u16string*> names;
  if (const FuncData* func = FindFunc(type(), memid)) {
    names.push_back(&func->name);
    std::size_t count = func->params.size();
    // The dispatch view shows an [out, retval] parameter as the result.
    if (IsDispatchViewOfDual() && count > 0 && (func->params.back().flags & PARAMFLAG_FRETVAL)) --count;
    for (std::size_t i = 0; i < count; ++i) names.push_back(&func->params[i].name);
  } else if (const VarData* var = FindVar(type(), memid)) {
    names.push_back(&var->name);
  } else {
    BaseLookup lookup;
    ITypeInfo* base = nullptr;
    HRESULT hr = BaseForLookup(lookup, &base);
    if (hr != S_OK) return FAILED(hr) ? hr : TYPE_E_ELEMENTNOTFOUND;
    hr = base->GetNames(memid, rgBstrNames, cMaxNames, pcNames);
    base->Release();
    return hr;
  }
  UINT written = 0;
  try {
    for (; written < cMaxNames && written < names.size(); ++written) rgBstrNames[written] = NewBstr(*names[written]);
  } catch (const _com_error& e) {
    for (UINT i = 0; i < written; ++i) SysFreeString(rgBstrNames[i]);
    return e.Error();
  }
  *pcNames = written;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) {
  if (pRefType == nullptr) return E_INVALIDARG;
  const TypeData& t = type();
  if (index == static_cast<UINT>(-1)) {
    if (!t.IsDual()) return TYPE_E_ELEMENTNOTFOUND;
    *pRefType = kOtherViewHref;
    return S_OK;
  }
  if (Kind() == TKIND_DISPATCH) {
    if (index != 0 || !lib_->data().hasDispatchHref) return TYPE_E_ELEMENTNOTFOUND;
    *pRefType = lib_->data().dispatchHref;
    return S_OK;
  }
  if (index >= t.implTypes.size()) return TYPE_E_ELEMENTNOTFOUND;
  *pRefType = t.implTypes[index].href;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetImplTypeFlags(UINT index, INT* pImplTypeFlags) {
  if (pImplTypeFlags == nullptr) return E_INVALIDARG;
  TYPEATTR* attr = nullptr;
  GetTypeAttr(&attr);
  bool valid = index < attr->cImplTypes;
  ReleaseTypeAttr(attr);
  if (!valid) return TYPE_E_ELEMENTNOTFOUND;
  *pImplTypeFlags = Kind() == TKIND_COCLASS ? type().implTypes[index].flags : 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) {
  if (rgszNames == nullptr || pMemId == nullptr || cNames == 0) return E_INVALIDARG;
  for (UINT i = 0; i < cNames; ++i) pMemId[i] = DISPID_UNKNOWN;
  const TypeData& t = type();
  for (const FuncData& func : t.funcs) {
    if (!SameName(rgszNames[0], func.name)) continue;
    pMemId[0] = func.memid;
    HRESULT hr = S_OK;
    for (UINT n = 1; n < cNames; ++n) {
      for (std::size_t p = 0; p < func.params.size(); ++p) {
        if (SameName(rgszNames[n], func.params[p].name)) pMemId[n] = static_cast<MEMBERID>(p);
      }
      if (pMemId[n] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }
  for (const VarData& var : t.vars) {
    if (!SameName(rgszNames[0], var.name)) continue;
    pMemId[0] = var.memid;
    return cNames > 1 ? DISP_E_UNKNOWNNAME : S_OK;
  }
  BaseLookup lookup;
  ITypeInfo* base = nullptr;
  HRESULT hr = BaseForLookup(lookup, &base);
  if (hr != S_OK) return FAILED(hr) ? hr : DISP_E_UNKNOWNNAME;
  hr = base->GetIDsOfNames(rgszNames, cNames, pMemId);
  base->Release();
  return hr;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::Invoke(PVOID pvInstance, MEMBERID memid, WORD wFlags,
                                                 DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                                 UINT* puArgErr) {
  return InvokeWithTypeInfo(this, pvInstance, memid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                                           DWORD* pdwHelpContext, BSTR* pBstrHelpFile) {
  const TypeData& t = type();
  const std::u16string* name = &t.name;
  const std::u16string* doc = &t.docString;
  DWORD context = t.helpContext;
  if (memid != MEMBERID_NIL) {
    if (const FuncData* func = FindFunc(t, memid)) {
      name = &func->name;
      doc = &func->docString;
      context = func->helpContext;
    } else if (const VarData* var = FindVar(t, memid)) {
      name = &var->name;
      doc = &var->docString;
      context = var->helpContext;
    } else {
      BaseLookup lookup;
      ITypeInfo* base = nullptr;
      HRESULT hr = BaseForLookup(lookup, &base);
      if (hr != S_OK) return FAILED(hr) ? hr : TYPE_E_ELEMENTNOTFOUND;
      hr = base->GetDocumentation(memid, pBstrName, pBstrDocString, pdwHelpContext, pBstrHelpFile);
      base->Release();
      return hr;
    }
  }
  BSTR outName = nullptr;
  BSTR outDoc = nullptr;
  try {
    SetBstrOut(pBstrName ? &outName : nullptr, *name);
    SetBstrOut(pBstrDocString ? &outDoc : nullptr, *doc);
    SetBstrOut(pBstrHelpFile, lib_->data().helpFile);
  } catch (const _com_error& e) {
    SysFreeString(outName);
    SysFreeString(outDoc);
    return e.Error();
  }
  if (pBstrName != nullptr) *pBstrName = outName;
  if (pBstrDocString != nullptr) *pBstrDocString = outDoc;
  if (pdwHelpContext != nullptr) *pdwHelpContext = context;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) {
  if (ppTInfo == nullptr) return E_INVALIDARG;
  *ppTInfo = nullptr;
  if (hRefType == kOtherViewHref) {
    if (!type().IsDual()) return TYPE_E_ELEMENTNOTFOUND;
    TypeView other = view_ == TypeView::Stored ? TypeView::DualInterface : TypeView::Stored;
    return lib_->NewTypeInfo(index_, other, ppTInfo);
  }
  return lib_->ResolveHref(hRefType, Kind() == TKIND_INTERFACE, ppTInfo);
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::AddressOfMember(MEMBERID, INVOKEKIND, PVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::CreateInstance(IUnknown*, REFIID, PVOID* ppvObj) {
  if (ppvObj != nullptr) *ppvObj = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetMops(MEMBERID, BSTR* pBstrMops) {
  if (pBstrMops != nullptr) *pBstrMops = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TypeInfoObject::GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) {
  if (ppTLib != nullptr) {
    *ppTLib = lib_;
    lib_->AddRef();
  }
  if (pIndex != nullptr) *pIndex = index_;
  return S_OK;
}

void STDMETHODCALLTYPE TypeInfoObject::ReleaseTypeAttr(TYPEATTR* pTypeAttr) { delete pTypeAttr; }

void STDMETHODCALLTYPE TypeInfoObject::ReleaseFuncDesc(FUNCDESC* pFuncDesc) { FreeFuncDesc(pFuncDesc); }

void STDMETHODCALLTYPE TypeInfoObject::ReleaseVarDesc(VARDESC* pVarDesc) { FreeVarDesc(pVarDesc); }

}  // namespace qzwin::typelib
