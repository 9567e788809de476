// Compiler COM support for builds against mingw-w64's headers. Its comdef.h
// leaves out the SDK's predefined smart pointers when the compiler is not
// Microsoft's (comdefsp.h); this adds those that the system holds. A folder
// that holds another one adds it here.
#pragma once

#include_next <comdef.h>

#if !USE___UUIDOF
_COM_SMARTPTR_TYPEDEF(IErrorInfo, __uuidof(IErrorInfo));
_COM_SMARTPTR_TYPEDEF(ICreateErrorInfo, __uuidof(ICreateErrorInfo));
_COM_SMARTPTR_TYPEDEF(IStream, __uuidof(IStream));
_COM_SMARTPTR_TYPEDEF(IPersistStream, __uuidof(IPersistStream));
#endif
