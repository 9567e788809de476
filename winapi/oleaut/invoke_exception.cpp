#include "invoke_exception.h"

#include <oleauto.h>

namespace qzwin::oleaut {

void FillExceptionInfo(HRESULT failure, EXCEPINFO* excep) {
  if (excep == nullptr) return;  // the error information stays for the caller
  *excep = EXCEPINFO{};
  excep->scode = failure;
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return;
  info->GetSource(&excep->bstrSource);
  info->GetDescription(&excep->bstrDescription);
  info->GetHelpFile(&excep->bstrHelpFile);
  info->GetHelpContext(&excep->dwHelpContext);
  info->Release();
}

}  // namespace qzwin::oleaut
