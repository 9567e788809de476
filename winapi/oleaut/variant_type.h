// Which VARTYPEs a VARIANT may carry here, shared by clearing, copying and
// changing types.
#pragma once

#include <oleauto.h>

namespace qzwin::oleaut {

// The value types that VariantClear and VariantCopy accept: the automation
// types below VT_VOID except the unused code 15, alone or by reference.
// Arrays and records are refused because the stand-in has no SAFEARRAY or
// IRecordInfo support; by-reference or array forms of VT_EMPTY and VT_NULL
// mean nothing and are refused as on Windows.
inline bool IsSupportedType(VARTYPE vt) {
  const VARTYPE base = vt & VT_TYPEMASK;
  const VARTYPE extra = vt & static_cast<VARTYPE>(~VT_TYPEMASK);
  if (extra != 0 && extra != VT_BYREF) return false;
  if (base >= VT_VOID || base == 15) return false;
  if (extra == VT_BYREF && base <= VT_NULL) return false;
  return true;
}

}  // namespace qzwin::oleaut
