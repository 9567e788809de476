// NDR definitions, as far as headers generated from IDL use them: the
// interface bracketing of their C vtables.
#pragma once

#include <rpc.h>

#define __RPCNDR_H_VERSION__ 475
#ifndef BEGIN_INTERFACE
#define BEGIN_INTERFACE
#define END_INTERFACE
#endif
#ifndef CONST_VTBL
#define CONST_VTBL
#endif
