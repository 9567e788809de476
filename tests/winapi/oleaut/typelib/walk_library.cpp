#include "walk_library.h"

#include <oleauto.h>

namespace typelibtest {

namespace {

void WalkType(ITypeInfo* info) {
  TYPEATTR* attr = nullptr;
  if (FAILED(info->GetTypeAttr(&attr))) return;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* desc = nullptr;
    if (FAILED(info->GetFuncDesc(i, &desc))) continue;
    volatile int pointerSteps = 0;  // follows every pointer chain to its end
    for (SHORT p = 0; p < desc->cParams; ++p) {
      for (const TYPEDESC* t = &desc->lprgelemdescParam[p].tdesc; t->vt == VT_PTR; t = t->lptdesc) pointerSteps = pointerSteps + 1;
    }
    constexpr UINT kMaxNames = 4;
    BSTR names[kMaxNames] = {};
    UINT count = 0;
    if (SUCCEEDED(info->GetNames(desc->memid, names, kMaxNames, &count))) {
      for (UINT n = 0; n < count; ++n) SysFreeString(names[n]);
    }
    info->ReleaseFuncDesc(desc);
  }
  for (UINT i = 0; i < attr->cVars; ++i) {
    VARDESC* desc = nullptr;
    if (SUCCEEDED(info->GetVarDesc(i, &desc))) info->ReleaseVarDesc(desc);
  }
  for (UINT i = 0; i < attr->cImplTypes; ++i) {
    HREFTYPE href = 0;
    INT flags = 0;
    info->GetImplTypeFlags(i, &flags);
    ITypeInfo* ref = nullptr;
    if (SUCCEEDED(info->GetRefTypeOfImplType(i, &href)) && SUCCEEDED(info->GetRefTypeInfo(href, &ref))) ref->Release();
  }
  BSTR name = nullptr;
  BSTR doc = nullptr;
  info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr);
  SysFreeString(name);
  SysFreeString(doc);
  info->ReleaseTypeAttr(attr);
}

}  // namespace

void WalkLibrary(ITypeLib* lib) {
  TLIBATTR* attr = nullptr;
  if (SUCCEEDED(lib->GetLibAttr(&attr))) lib->ReleaseTLibAttr(attr);
  for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
    ITypeInfo* info = nullptr;
    if (FAILED(lib->GetTypeInfo(i, &info))) continue;
    WalkType(info);
    HREFTYPE other = 0;
    ITypeInfo* vtable = nullptr;
    if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &other)) &&
        SUCCEEDED(info->GetRefTypeInfo(other, &vtable))) {
      WalkType(vtable);
      vtable->Release();
    }
    info->Release();
  }
}

}  // namespace typelibtest
