// RPC base definitions, as far as headers generated from IDL use them.
#pragma once

#include <windef.h>

#define __RPC_API
#define __RPC_USER
#define __RPC_STUB
#define __RPC_FAR
