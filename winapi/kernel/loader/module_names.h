// How the names that LoadLibraryA and GetModuleHandleA take lead to modules.
#pragma once

#include <string>

#include <windef.h>

namespace qzwin::loader {

// Turns a module name into what dlopen takes: a Windows or POSIX path becomes
// an absolute POSIX path; a bare file name is looked for next to the main
// program first and is otherwise left to dlopen's own search. False for a
// null or empty name or a path that maps to no file system location.
bool ToLoadablePath(const char* name, std::string* path);

// A module already mapped into the process, by path or by bare file name
// (compared without regard to case, as Windows does). Null if none.
HMODULE FindLoadedModule(const char* name);

}  // namespace qzwin::loader
