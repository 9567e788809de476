// The GUIDs that the kernel's headers declare.
#include <guiddef.h>

EXTERN_C const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
