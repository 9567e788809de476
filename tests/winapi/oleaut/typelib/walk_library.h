// Calls everything a client may call on every entry of a type library, so
// that a damaged library shows whether any answer reads outside its data.
// Shared by the tests and the loader's fuzz target.
#pragma once

#include <oaidl.h>

namespace typelibtest {

void WalkLibrary(ITypeLib* lib);

}  // namespace typelibtest
