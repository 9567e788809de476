// Type descriptions of parameters, read down to what a VARIANT carries.
#include "param_type.h"

#include "local_iids.h"
#include "type_attr.h"

namespace qzwin::oleaut {
namespace {

// How deep aliases and pointers may nest; a deeper chain is a broken library.
constexpr int kMaxTypeDepth = 8;

HRESULT Describe(ITypeInfo* info, const TYPEDESC& desc, int depth, ParamType* out);

// The pointer level over an automation value: interface pointers are values
// of their own, a pointer to anything else passes that value by reference.
HRESULT AddPointer(ParamType* type) {
  if (type->byRef) return DISP_E_BADVARTYPE;
  type->byRef = true;
  return S_OK;
}

// A type named by reference. `*isInterface` tells that it is an interface
// (or a class), which is only ever passed through a pointer.
HRESULT DescribeReference(ITypeInfo* info, HREFTYPE ref, int depth, ParamType* out, bool* isInterface) {
  *isInterface = false;
  ITypeInfo* target = nullptr;
  if (FAILED(info->GetRefTypeInfo(ref, &target)) || target == nullptr) {
    *isInterface = true;  // the library holding it is not registered
    out->vt = VT_UNKNOWN;
    return S_OK;
  }
  HRESULT hr = S_OK;
  {
    ScopedTypeAttr attr(target);
    hr = attr.result();
    if (SUCCEEDED(hr)) {
      switch (attr->typekind) {
        case TKIND_INTERFACE:
        case TKIND_DISPATCH:
          *isInterface = true;
          out->vt = attr->typekind == TKIND_DISPATCH || (attr->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE))
                        ? VT_DISPATCH
                        : VT_UNKNOWN;
          out->iidKnown = true;
          out->iid = attr->guid;
          break;
        case TKIND_COCLASS:
          *isInterface = true;
          out->vt = VT_UNKNOWN;
          break;
        case TKIND_ENUM:
          out->vt = VT_I4;
          break;
        case TKIND_ALIAS:
          hr = Describe(target, attr->tdescAlias, depth + 1, out);
          break;
        default:
          hr = DISP_E_BADVARTYPE;  // records and unions need IRecordInfo
          break;
      }
    }
  }
  target->Release();
  return hr;
}

HRESULT Describe(ITypeInfo* info, const TYPEDESC& desc, int depth, ParamType* out) {
  if (depth > kMaxTypeDepth) return DISP_E_BADVARTYPE;
  switch (desc.vt) {
    case VT_PTR: {
      if (desc.lptdesc == nullptr) return DISP_E_BADVARTYPE;
      if (desc.lptdesc->vt != VT_USERDEFINED) {
        HRESULT hr = Describe(info, *desc.lptdesc, depth + 1, out);
        return SUCCEEDED(hr) ? AddPointer(out) : hr;
      }
      bool isInterface = false;
      HRESULT hr = DescribeReference(info, desc.lptdesc->hreftype, depth + 1, out, &isInterface);
      if (FAILED(hr) || isInterface) return hr;
      return AddPointer(out);
    }
    case VT_USERDEFINED: {
      bool isInterface = false;
      HRESULT hr = DescribeReference(info, desc.hreftype, depth + 1, out, &isInterface);
      return SUCCEEDED(hr) && isInterface ? DISP_E_BADVARTYPE : hr;  // an interface by value
    }
    case VT_UNKNOWN:
    case VT_DISPATCH:
      out->vt = desc.vt;
      out->iidKnown = true;
      out->iid = desc.vt == VT_DISPATCH ? __uuidof(IDispatch) : kIidUnknown;
      return S_OK;
    case VT_HRESULT:
      out->vt = VT_ERROR;
      return S_OK;
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_ERROR:
    case VT_BOOL:
    case VT_VARIANT:
    case VT_DECIMAL:
      out->vt = desc.vt;
      return S_OK;
    default:
      return DISP_E_BADVARTYPE;  // arrays, C strings, void
  }
}

}  // namespace

HRESULT DescribeType(ITypeInfo* info, const TYPEDESC& desc, ParamType* out) {
  *out = ParamType{};
  return Describe(info, desc, 0, out);
}

}  // namespace qzwin::oleaut
