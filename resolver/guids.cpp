// Defines the resolver's CLSID and IID once for every module that links the
// interface library.
#define INITGUID
#include "PlatformPathResolver.h"
