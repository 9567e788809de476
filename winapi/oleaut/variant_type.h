// Which VARTYPEs a VARIANT may carry here, shared by clearing, copying and
// changing types.
#pragma once

#include <oleauto.h>

namespace qzwin::oleaut {

// The value types that VariantClear and VariantCopy accept: the automation
// types below VT_VOID except the unused code 15, by value or by reference.
// Arrays are accepted only by reference, where nothing of them is owned:
// the stand-in has no SAFEARRAY support to free or copy one. Records are
// refused for want of IRecordInfo. By-reference or array forms of VT_EMPTY
// and VT_NULL mean nothing and are refused as on Windows.
inline bool IsSupportedType(VARTYPE vt) {
  const VARTYPE base = vt & VT_TYPEMASK;
  const VARTYPE extra = vt & static_cast<VARTYPE>(~VT_TYPEMASK);
  if (extra != 0 && extra != VT_BYREF && extra != (VT_BYREF | VT_ARRAY)) return false;
  if (base >= VT_VOID || base == 15) return false;
  if (extra != 0 && base <= VT_NULL) return false;
  return true;
}

}  // namespace qzwin::oleaut
