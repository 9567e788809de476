// A module that loads but exports no DllGetClassObject.
#include <objbase.h>

STDAPI DllCanUnloadNow(void) { return S_OK; }
