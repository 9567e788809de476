// Placeholder until dispatch through type information exists: every call
// answers E_NOTIMPL. The dispatch implementation replaces this file.
#include "type_info_invoke.h"

namespace qzwin {

HRESULT InvokeWithTypeInfo(ITypeInfo*, void*, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

}  // namespace qzwin
