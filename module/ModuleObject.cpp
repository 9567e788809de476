// The library's one module object, made by the C runtime before DllMain
// first runs; its destructor releases the shared schema-cache state.
#include "module/QZModule.h"

CQZModule _Module;
