// What the loader and the resource table need to know about mapped modules.
// A module handle is the lowest address of the module's mapping (its ELF base),
// so any address inside a module leads to its handle.
#pragma once

#include <string>

#include <windef.h>

namespace qzwin::loader {

// The main program's handle.
HMODULE MainModule();

// The module that contains `address`, or null if it lies in none.
HMODULE ModuleContaining(const void* address);

// True if `module` is the handle (base address) of a mapped module.
bool IsModuleHandle(HMODULE module);

// The handle of a module opened with dlopen.
HMODULE ModuleOfDlHandle(void* dlHandle);

// The module's absolute POSIX path; empty if `module` is not a module handle.
std::string ModulePosixPath(HMODULE module);

}  // namespace qzwin::loader
