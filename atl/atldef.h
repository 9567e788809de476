// Common ground of the COM shell: the ATL namespace, assertions and the rule
// that keeps each module's copy of the shell to itself.
//
// The shell is linked statically into every module that uses it, as ATL is.
// On Windows every DLL keeps its own copy anyway; on ELF systems a symbol
// that two shared objects both define is bound to the first one loaded, so
// one module's class factory would lock another module's count. The shell's
// own code is built hidden; what headers instantiate in the user's code and
// reaches the current module (the object wrappers, creators and the class
// factory) is marked ATL_MODULE_LOCAL. Classes that the user derives from
// are not: a class may not be more visible than its bases.
#pragma once

#include <windows.h>

#if defined(_WIN32)
#define ATL_MODULE_LOCAL
#else
#define ATL_MODULE_LOCAL __attribute__((visibility("hidden")))
#endif

#ifndef ATL_NO_VTABLE
#define ATL_NO_VTABLE
#endif

#ifndef ATLASSERT
#include <cassert>
#define ATLASSERT(expr) assert(expr)
#endif
