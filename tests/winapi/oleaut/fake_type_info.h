// A type info put together in code: the functions of one interface, its
// base, and the types its members refer to. It answers what Invoke asks of
// a type info, and its Invoke is the stand-in's, so tests reach it through
// DispInvoke without a type library file.
#pragma once

#include <oleauto.h>

#include <deque>
#include <map>
#include <vector>

#include "type_info_invoke.h"

namespace oleauttest {

constexpr HREFTYPE kVtableSide = static_cast<HREFTYPE>(-1);

class FakeTypeInfo : public ITypeInfo {
 public:
  FakeTypeInfo(TYPEKIND kind, WORD typeFlags, const GUID& guid) {
    attr_.typekind = kind;
    attr_.wTypeFlags = typeFlags;
    attr_.guid = guid;
  }

  // Types, described once and kept at fixed addresses for the descriptions.
  TYPEDESC* Type(VARTYPE vt) { return &types_.emplace_back(TYPEDESC{{nullptr}, vt}); }
  TYPEDESC* PointerTo(TYPEDESC* inner) { return &types_.emplace_back(TYPEDESC{{inner}, VT_PTR}); }
  TYPEDESC* Reference(HREFTYPE ref) {
    TYPEDESC& desc = types_.emplace_back(TYPEDESC{{nullptr}, VT_USERDEFINED});
    desc.hreftype = ref;
    return &desc;
  }
  ELEMDESC Param(TYPEDESC* type, USHORT flags, PARAMDESCEX* fallback = nullptr) {
    ELEMDESC elem{};
    elem.tdesc = *type;
    elem.paramdesc.wParamFlags = flags;
    elem.paramdesc.pparamdescex = fallback;
    return elem;
  }

  // A method returning HRESULT at vtable slot `slot`.
  void AddFunction(MEMBERID id, INVOKEKIND kind, int slot, std::vector<ELEMDESC> params) {
    params_.push_back(std::move(params));
    FUNCDESC func{};
    func.memid = id;
    func.funckind = FUNC_PUREVIRTUAL;
    func.invkind = kind;
    func.callconv = CC_STDCALL;
    func.cParams = static_cast<SHORT>(params_.back().size());
    func.lprgelemdescParam = params_.back().data();
    func.oVft = static_cast<SHORT>(slot * sizeof(void*));
    func.elemdescFunc.tdesc.vt = VT_HRESULT;
    funcs_.push_back(func);
  }
  // Implemented type 0 is the base; kVtableSide leads from a dual
  // interface's dispatch side to its vtable side.
  void SetReference(HREFTYPE ref, ITypeInfo* target) { refs_[ref] = target; }
  void SetBase(ITypeInfo* base) {
    SetReference(kBaseRef, base);
    attr_.cImplTypes = 1;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the test
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** ppTypeAttr) override {
    attr_.cFuncs = static_cast<WORD>(funcs_.size());
    *ppTypeAttr = &attr_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) override {
    if (index >= funcs_.size()) return TYPE_E_ELEMENTNOTFOUND;
    *ppFuncDesc = &funcs_[index];
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) override {
    const HREFTYPE ref = index == 0 ? kBaseRef : index;
    if (refs_.count(ref) == 0) return TYPE_E_ELEMENTNOTFOUND;
    *pRefType = ref;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) override {
    auto found = refs_.find(hRefType);
    if (found == refs_.end()) return TYPE_E_LIBNOTREGISTERED;  // as for a library nobody registered
    *ppTInfo = found->second;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(PVOID pvInstance, MEMBERID memid, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
    return qzwin::InvokeWithTypeInfo(this, pvInstance, memid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
  }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR*) override {}
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC*) override {}
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID, BSTR*, UINT, UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID, BSTR*, BSTR*, DWORD*, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }

 private:
  static constexpr HREFTYPE kBaseRef = 0x10000;

  TYPEATTR attr_{};
  std::deque<TYPEDESC> types_;
  std::deque<std::vector<ELEMDESC>> params_;
  std::vector<FUNCDESC> funcs_;
  std::map<HREFTYPE, ITypeInfo*> refs_;
};

}  // namespace oleauttest
