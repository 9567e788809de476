// How a parameter or result of a method described by type information is
// passed, in VARIANT terms.
#pragma once

#include <oaidl.h>

namespace qzwin::oleaut {

// Plain data, so that a frame's unused slots cost nothing; ParamType{} is
// a by-value VT_EMPTY.
struct ParamType {
  VARTYPE vt;  // the automation type of the value
  bool byRef;  // the method takes a pointer to such a value
  // For interface values (VT_UNKNOWN, VT_DISPATCH): the interface the method
  // expects, when its type information could be found.
  bool iidKnown;
  IID iid;

  bool IsInterface() const { return vt == VT_UNKNOWN || vt == VT_DISPATCH; }
};

// Describes `desc`, a type used in a member of `info`. A pointer to a type
// whose description cannot be found (its library is not registered) is taken
// for an interface pointer with an unknown IID: automation passes nothing
// else through such a pointer. Types automation cannot pass give
// DISP_E_BADVARTYPE.
HRESULT DescribeType(ITypeInfo* info, const TYPEDESC& desc, ParamType* out);

}  // namespace qzwin::oleaut
