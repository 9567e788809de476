// The body of ITypeInfo::Invoke: calls member `id` of `instance` (an interface
// pointer whose vtable `info` describes) as DispInvoke does. The type-library
// reader's ITypeInfo forwards its Invoke here.
#pragma once

#include <oaidl.h>

namespace qzwin {

HRESULT InvokeWithTypeInfo(ITypeInfo* info, void* instance, MEMBERID id, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* excep, UINT* argErr);

}  // namespace qzwin
