// VariantChangeType: the conversions among empty, null, the integer and
// floating types, VT_BOOL, VT_BSTR and the interface types. Integers take
// doubles by rounding half to even; a value beyond the target's range gives
// DISP_E_OVERFLOW, text that is not a number DISP_E_TYPEMISMATCH. VT_CY,
// VT_DATE, VT_DECIMAL and VT_ERROR convert only to themselves.
#include <oleauto.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "local_iids.h"
#include "scalar.h"
#include "variant_type.h"

using qzwin::oleaut::FormatScalar;
using qzwin::oleaut::IsSupportedType;
using qzwin::oleaut::kIidNull;
using qzwin::oleaut::kIidUnknown;
using qzwin::oleaut::ParseBoolName;
using qzwin::oleaut::ParseScalar;
using qzwin::oleaut::Scalar;

namespace {

// Digits kept when a floating value becomes text.
constexpr int kDoubleDigits = 15;
constexpr int kFloatDigits = 7;

struct IntegerRange {
  bool isSigned;
  int bytes;
};

bool IntegerTarget(VARTYPE vt, IntegerRange* range) {
  switch (vt) {
    case VT_I1: *range = {true, 1}; return true;
    case VT_UI1: *range = {false, 1}; return true;
    case VT_I2: *range = {true, 2}; return true;
    case VT_UI2: *range = {false, 2}; return true;
    case VT_I4: *range = {true, 4}; return true;
    case VT_UI4: *range = {false, 4}; return true;
    case VT_I8: *range = {true, 8}; return true;
    case VT_UI8: *range = {false, 8}; return true;
    default: return false;
  }
}

// The scalar held by an already dereferenced VARIANT of a numeric, boolean
// or empty type; false for any other type.
bool ReadScalar(const VARIANT& v, Scalar* out) {
  switch (v.vt) {
    case VT_EMPTY: *out = Scalar::Signed(0); return true;
    case VT_I1: *out = Scalar::Signed(v.cVal); return true;
    case VT_I2: *out = Scalar::Signed(v.iVal); return true;
    case VT_I4: *out = Scalar::Signed(v.lVal); return true;
    case VT_I8: *out = Scalar::Signed(v.llVal); return true;
    case VT_BOOL: *out = Scalar::Signed(v.boolVal); return true;
    case VT_UI1: *out = Scalar::Unsigned(v.bVal); return true;
    case VT_UI2: *out = Scalar::Unsigned(v.uiVal); return true;
    case VT_UI4: *out = Scalar::Unsigned(v.ulVal); return true;
    case VT_UI8: *out = Scalar::Unsigned(v.ullVal); return true;
    case VT_R4: *out = Scalar::Real(v.fltVal); return true;
    case VT_R8: *out = Scalar::Real(v.dblVal); return true;
    default: return false;
  }
}

// Stores an integer of the given range into the matching member.
void StoreInteger(VARTYPE vt, uint64_t bits, VARIANT* out) {
  switch (vt) {
    case VT_I1: out->cVal = static_cast<CHAR>(bits); break;
    case VT_UI1: out->bVal = static_cast<BYTE>(bits); break;
    case VT_I2: out->iVal = static_cast<SHORT>(bits); break;
    case VT_UI2: out->uiVal = static_cast<USHORT>(bits); break;
    case VT_I4: out->lVal = static_cast<LONG>(bits); break;
    case VT_UI4: out->ulVal = static_cast<ULONG>(bits); break;
    case VT_I8: out->llVal = static_cast<LONGLONG>(bits); break;
    case VT_UI8: out->ullVal = bits; break;
    default: break;
  }
}

HRESULT ToInteger(const Scalar& value, VARTYPE from, VARTYPE vt, VARIANT* out) {
  IntegerRange range{};
  IntegerTarget(vt, &range);
  const int bits = range.bytes * 8;
  const long double low = range.isSigned ? -std::ldexp(1.0L, bits - 1) : 0.0L;
  const long double high = range.isSigned ? std::ldexp(1.0L, bits - 1) : std::ldexp(1.0L, bits);  // exclusive

  // The signed and unsigned types of one width, and VT_BOOL into an unsigned
  // type, take each other's bits unchanged, as Windows does.
  IntegerRange source{};
  const bool sameWidth = IntegerTarget(from, &source) && source.bytes == range.bytes;
  if (sameWidth || (from == VT_BOOL && !range.isSigned)) {
    StoreInteger(vt, value.kind == Scalar::Kind::Signed ? static_cast<uint64_t>(value.s) : value.u, out);
    return S_OK;
  }

  switch (value.kind) {
    case Scalar::Kind::Signed:
      if (static_cast<long double>(value.s) < low || static_cast<long double>(value.s) >= high) return DISP_E_OVERFLOW;
      StoreInteger(vt, static_cast<uint64_t>(value.s), out);
      return S_OK;
    case Scalar::Kind::Unsigned:
      if (static_cast<long double>(value.u) >= high) return DISP_E_OVERFLOW;
      StoreInteger(vt, value.u, out);
      return S_OK;
    case Scalar::Kind::Real: {
      if (std::isnan(value.d)) return DISP_E_OVERFLOW;
      const double rounded = std::nearbyint(value.d);  // the default mode rounds half to even
      if (static_cast<long double>(rounded) < low || static_cast<long double>(rounded) >= high) return DISP_E_OVERFLOW;
      const uint64_t bitsOut = range.isSigned ? static_cast<uint64_t>(static_cast<int64_t>(rounded))
                                              : static_cast<uint64_t>(rounded);
      StoreInteger(vt, bitsOut, out);
      return S_OK;
    }
  }
  return DISP_E_TYPEMISMATCH;
}

double AsDouble(const Scalar& value) {
  switch (value.kind) {
    case Scalar::Kind::Signed: return static_cast<double>(value.s);
    case Scalar::Kind::Unsigned: return static_cast<double>(value.u);
    case Scalar::Kind::Real: return value.d;
  }
  return 0;
}

// A scalar into a numeric, boolean or string target.
HRESULT FromScalar(const Scalar& value, VARTYPE from, VARTYPE vt, USHORT flags, VARIANT* out) {
  IntegerRange range{};
  if (IntegerTarget(vt, &range)) return ToInteger(value, from, vt, out);
  switch (vt) {
    case VT_R8:
      out->dblVal = AsDouble(value);
      return S_OK;
    case VT_R4: {
      const double d = AsDouble(value);
      if (std::isfinite(d) && std::fabs(d) > FLT_MAX) return DISP_E_OVERFLOW;
      out->fltVal = static_cast<FLOAT>(d);
      return S_OK;
    }
    case VT_BOOL:
      out->boolVal = value.IsZero() ? VARIANT_FALSE : VARIANT_TRUE;
      return S_OK;
    case VT_BSTR: {
      if (from == VT_EMPTY) {
        out->bstrVal = SysAllocStringLen(nullptr, 0);
      } else if (from == VT_BOOL && (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) != 0) {
        out->bstrVal = SysAllocString(value.IsZero() ? OLESTR("False") : OLESTR("True"));
      } else {
        out->bstrVal = FormatScalar(value, from == VT_R4 ? kFloatDigits : kDoubleDigits);
      }
      return out->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT FromString(BSTR text, VARTYPE vt, VARIANT* out) {
  if (vt == VT_BOOL) {
    bool named = false;
    if (ParseBoolName(text, SysStringLen(text), &named)) {
      out->boolVal = named ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
  }
  Scalar value;
  HRESULT hr = ParseScalar(text, SysStringLen(text), &value);
  if (FAILED(hr)) return hr;
  return FromScalar(value, VT_BSTR, vt, 0, out);
}

HRESULT Coerce(const VARIANT& source, USHORT flags, VARTYPE vt, VARIANT* out);

// An object's value is its DISPID_VALUE property.
HRESULT FromObjectValue(IDispatch* object, USHORT flags, VARTYPE vt, VARIANT* out) {
  if (object == nullptr || (flags & VARIANT_NOVALUEPROP) != 0) return DISP_E_TYPEMISMATCH;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = object->Invoke(DISPID_VALUE, kIidNull, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
  if (SUCCEEDED(hr)) hr = Coerce(value, flags | VARIANT_NOVALUEPROP, vt, out);
  VariantClear(&value);
  return hr;
}

HRESULT ToInterface(const VARIANT& source, VARTYPE vt, VARIANT* out) {
  const bool fromInterface = source.vt == VT_UNKNOWN || source.vt == VT_DISPATCH;
  if (!fromInterface) return DISP_E_TYPEMISMATCH;
  out->punkVal = nullptr;
  if (source.punkVal == nullptr) return S_OK;
  const IID& iid = vt == VT_DISPATCH ? __uuidof(IDispatch) : kIidUnknown;
  return source.punkVal->QueryInterface(iid, reinterpret_cast<void**>(&out->punkVal));
}

// Fills *out (an empty VARIANT) with source converted to vt, a type that
// IsSupportedType accepts and that is not by reference; source is not by
// reference either. out->vt is left for the caller to set.
HRESULT Coerce(const VARIANT& source, USHORT flags, VARTYPE vt, VARIANT* out) {
  auto plain = [](VARTYPE t) -> VARTYPE {
    if (t == VT_INT) return VT_I4;
    if (t == VT_UINT) return VT_UI4;
    return t;
  };
  const VARTYPE from = plain(source.vt);
  const VARTYPE to = plain(vt);

  if (from == to) return VariantCopy(out, &source);

  switch (to) {
    case VT_EMPTY:
    case VT_NULL:
      // Any value type may be dropped, but null does not become empty.
      if (to == VT_EMPTY && from == VT_NULL) return DISP_E_TYPEMISMATCH;
      return from <= VT_UINT && from != VT_ERROR && from != 15 ? S_OK : DISP_E_TYPEMISMATCH;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      return ToInterface(source, to, out);
    default:
      break;
  }

  if (from == VT_DISPATCH) return FromObjectValue(source.pdispVal, flags, vt, out);
  if (from == VT_BSTR) {
    if (to == VT_BSTR) return VariantCopy(out, &source);
    return FromString(source.bstrVal, to, out);
  }
  Scalar value;
  if (!ReadScalar(source, &value)) return DISP_E_TYPEMISMATCH;
  return FromScalar(value, from, to, flags, out);
}

// A by-reference source read as the value it points to, without taking
// ownership of anything.
HRESULT Dereference(const VARIANT& source, VARIANT* value) {
  *value = source;
  if ((source.vt & VT_BYREF) == 0) return S_OK;
  if (source.byref == nullptr) return E_INVALIDARG;
  if ((source.vt & VT_ARRAY) != 0) return DISP_E_TYPEMISMATCH;
  value->vt = source.vt & VT_TYPEMASK;
  switch (value->vt) {
    case VT_I1: value->cVal = *source.pcVal; break;
    case VT_UI1: value->bVal = *source.pbVal; break;
    case VT_I2: value->iVal = *source.piVal; break;
    case VT_UI2: value->uiVal = *source.puiVal; break;
    case VT_I4: value->lVal = *source.plVal; break;
    case VT_UI4: value->ulVal = *source.pulVal; break;
    case VT_INT: value->intVal = *source.pintVal; break;
    case VT_UINT: value->uintVal = *source.puintVal; break;
    case VT_I8: value->llVal = *source.pllVal; break;
    case VT_UI8: value->ullVal = *source.pullVal; break;
    case VT_R4: value->fltVal = *source.pfltVal; break;
    case VT_R8: value->dblVal = *source.pdblVal; break;
    case VT_BOOL: value->boolVal = *source.pboolVal; break;
    case VT_ERROR: value->scode = *source.pscode; break;
    case VT_BSTR: value->bstrVal = *source.pbstrVal; break;
    case VT_UNKNOWN: value->punkVal = *source.ppunkVal; break;
    case VT_DISPATCH: value->pdispVal = *source.ppdispVal; break;
    case VT_VARIANT:
      if ((source.pvarVal->vt & VT_BYREF) != 0) return E_INVALIDARG;
      *value = *source.pvarVal;
      break;
    default:
      return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

}  // namespace

HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID lcid, USHORT wFlags, VARTYPE vt) {
  if (pvargDest == nullptr || pvarSrc == nullptr) return E_INVALIDARG;
  if (!IsSupportedType(pvarSrc->vt) || !IsSupportedType(vt) || (vt & ~VT_TYPEMASK) != 0 || vt == VT_VARIANT) {
    return DISP_E_BADVARTYPE;
  }

  // The source stays untouched until the result is complete, so converting
  // in place (pvargDest == pvarSrc) loses nothing on failure.
  VARIANT value;
  HRESULT hr = Dereference(*pvarSrc, &value);
  if (FAILED(hr)) return hr;
  VARIANT result;
  VariantInit(&result);
  hr = Coerce(value, wFlags, vt, &result);
  if (FAILED(hr)) return hr;
  result.vt = vt;

  hr = VariantClear(pvargDest);
  if (FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  *pvargDest = result;
  return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt) {
  return VariantChangeTypeEx(pvargDest, pvarSrc, 0, wFlags, vt);
}
