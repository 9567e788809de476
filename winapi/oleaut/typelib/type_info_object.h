// ITypeInfo over one entry of a library read from its file.
#pragma once

#include "type_lib_object.h"

namespace qzwin::typelib {

// Held while a lookup goes on to base interfaces: counts how many this
// thread has open, as a damaged library may make interfaces derive in a loop.
class BaseLookup {
 public:
  BaseLookup() { ++depth_; }
  ~BaseLookup() { --depth_; }
  BaseLookup(const BaseLookup&) = delete;
  BaseLookup& operator=(const BaseLookup&) = delete;
  bool TooDeep() const;

 private:
  static thread_local int depth_;
};

class TypeInfoObject final : public ComObject<TypeInfoObject, ITypeInfo> {
 public:
  // Holds a reference to `lib` for its lifetime.
  TypeInfoObject(TypeLibObject* lib, UINT index, TypeView view);

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** ppTypeAttr) override;
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** ppTComp) override;
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) override;
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT index, VARDESC** ppVarDesc) override;
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) override;
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) override;
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* pImplTypeFlags) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) override;
  HRESULT STDMETHODCALLTYPE Invoke(PVOID pvInstance, MEMBERID memid, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;
  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override;
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID memid, INVOKEKIND invKind, BSTR* pBstrDllName, BSTR* pBstrName,
                                        WORD* pwOrdinal) override;
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) override;
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID memid, INVOKEKIND invKind, PVOID* ppv) override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, PVOID* ppvObj) override;
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID memid, BSTR* pBstrMops) override;
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) override;
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* pTypeAttr) override;
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* pFuncDesc) override;
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC* pVarDesc) override;

 private:
  ~TypeInfoObject() override;

  const TypeData& type() const;
  TYPEKIND Kind() const;
  bool IsDispatchViewOfDual() const;
  // The interface this one derives from, for member lookups that go on to
  // the base; S_FALSE when there is none to look in.
  HRESULT BaseForLookup(const BaseLookup& lookup, ITypeInfo** base);
  HRESULT InheritedFuncDesc(UINT index, FUNCDESC** desc);

  TypeLibObject* lib_;
  UINT index_;
  TypeView view_;
};

}  // namespace qzwin::typelib
