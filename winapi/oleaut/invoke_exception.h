// How a failing method result reaches the caller of Invoke.
#pragma once

#include <oaidl.h>

namespace qzwin::oleaut {

// Fills *excep (when given) for a method that returned `failure`: scode,
// and source, description, help file and context from the error
// information the method left on the thread, which it takes.
void FillExceptionInfo(HRESULT failure, EXCEPINFO* excep);

}  // namespace qzwin::oleaut
