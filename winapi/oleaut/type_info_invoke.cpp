// The body of ITypeInfo::Invoke: finds the member by id and kind of call,
// binds and converts the arguments, calls the method through its vtable and
// turns a failing result into DISP_E_EXCEPTION.
#include "type_info_invoke.h"

#include <oleauto.h>

#include "invoke_exception.h"
#include "invoke_frame.h"
#include "type_attr.h"

namespace qzwin {
namespace {

using oleaut::InvokeFrame;
using oleaut::OwnedFuncDesc;
using oleaut::ScopedTypeAttr;

// How many base interfaces a member is looked for in.
constexpr int kMaxBaseDepth = 16;

constexpr WORD kAnyCall = DISPATCH_METHOD | DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF;

// A property get may also be called as a method.
bool Answers(INVOKEKIND kind, WORD flags) {
  return (kind & flags) != 0 || (kind == INVOKE_PROPERTYGET && (flags & DISPATCH_METHOD) != 0);
}

// Looks for the member in `info` and then in the interfaces it derives from;
// their methods sit at the same vtable offsets in the derived interface.
HRESULT FindFunction(ITypeInfo* info, MEMBERID id, WORD flags, int depth, OwnedFuncDesc* found) {
  ScopedTypeAttr attr(info);
  if (FAILED(attr.result())) return attr.result();
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* desc = nullptr;
    if (FAILED(info->GetFuncDesc(i, &desc)) || desc == nullptr) continue;
    if (desc->memid == id && Answers(desc->invkind, flags)) {
      found->Take(info, desc);
      return S_OK;
    }
    info->ReleaseFuncDesc(desc);
  }

  HREFTYPE baseRef = 0;
  ITypeInfo* base = nullptr;
  if (depth >= kMaxBaseDepth || attr->cImplTypes == 0 || FAILED(info->GetRefTypeOfImplType(0, &baseRef)) ||
      FAILED(info->GetRefTypeInfo(baseRef, &base)) || base == nullptr) {
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT hr = FindFunction(base, id, flags, depth + 1, found);
  base->Release();
  return hr;
}

// The type info that describes the vtable: for the dispatch side of a dual
// interface, its interface side. A pure dispinterface has no vtable to call:
// its object implements IDispatch::Invoke itself.
HRESULT VtableSide(ITypeInfo* info, ITypeInfo** side) {
  ScopedTypeAttr attr(info);
  if (FAILED(attr.result())) return attr.result();
  if (attr->typekind != TKIND_DISPATCH) {
    info->AddRef();
    *side = info;
    return S_OK;
  }
  if ((attr->wTypeFlags & TYPEFLAG_FDUAL) == 0) return DISP_E_MEMBERNOTFOUND;
  HREFTYPE ref = 0;
  HRESULT hr = info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref);
  if (SUCCEEDED(hr)) hr = info->GetRefTypeInfo(ref, side);
  if (SUCCEEDED(hr) && *side == nullptr) hr = E_UNEXPECTED;
  return hr;
}

HRESULT CallThroughVtable(const OwnedFuncDesc& function, void* instance, WORD flags, DISPPARAMS* params,
                          VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  InvokeFrame frame(function.owner(), function.desc());
  HRESULT hr = frame.Bind(flags, *params, argErr);
  if (FAILED(hr)) return hr;

  SetErrorInfo(0, nullptr);  // what the method leaves is about this call only
  HRESULT methodResult = S_OK;
  hr = frame.Call(instance, &methodResult);
  if (FAILED(hr)) return hr;
  if (FAILED(methodResult)) {
    oleaut::FillExceptionInfo(methodResult, excep);
    return DISP_E_EXCEPTION;
  }
  // A put has no result, whatever the caller passed for one.
  if (result != nullptr && (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) == 0) frame.TakeResult(result);
  return S_OK;
}

}  // namespace

HRESULT InvokeWithTypeInfo(ITypeInfo* info, void* instance, MEMBERID id, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  if (info == nullptr || instance == nullptr || params == nullptr) return E_INVALIDARG;
  if ((flags & kAnyCall) == 0) return E_INVALIDARG;

  ITypeInfo* vtable = nullptr;
  HRESULT hr = VtableSide(info, &vtable);
  if (FAILED(hr)) return hr;
  OwnedFuncDesc function;
  hr = FindFunction(vtable, id, flags, 0, &function);
  if (SUCCEEDED(hr)) hr = CallThroughVtable(function, instance, flags, params, result, excep, argErr);
  vtable->Release();
  return hr;
}

}  // namespace qzwin
