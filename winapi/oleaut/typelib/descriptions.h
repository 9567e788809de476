// The TYPEATTR, FUNCDESC and VARDESC blocks that ITypeInfo hands out and
// takes back in its Release* calls. Each block owns what it points to,
// except type descriptions, which live in the library's data (or in the type
// info the block keeps alive).
#pragma once

#include "library_data.h"

namespace qzwin::typelib {

void ConstantToVariant(const ConstantValue& value, VARIANT* variant);

FUNCDESC* NewFuncDesc(const FuncData& func);
// A copy of another type info's description; the copy holds a reference to
// `owner`, whose type descriptions it points into.
FUNCDESC* CopyFuncDesc(const FUNCDESC& source, ITypeInfo* owner);
// The description as a dual interface's dispatch view shows it: the
// [out, retval] parameter becomes the result, an HRESULT result goes away.
void ToDispatchForm(FUNCDESC* desc);
void FreeFuncDesc(FUNCDESC* desc);

VARDESC* NewVarDesc(const VarData& var);
void FreeVarDesc(VARDESC* desc);

}  // namespace qzwin::typelib
